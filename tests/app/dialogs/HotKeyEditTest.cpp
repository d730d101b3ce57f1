// Real key presses into the boss-key edit: the names it shows and the code
// it keeps. The presses go to the window with the X focus, so this runs in
// a ctest entry of its own, alone.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/app/dialogs/SetupFixture.h"

namespace {

// Pumps this thread's messages until the condition holds; false after the
// time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_ALLINPUT);
    }
}

INPUT Key(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

HWND g_edit = nullptr;
int g_upsSeen = 0;

// Counts the key releases taken from the queue for the edit; each is
// dispatched right after.
LRESULT CALLBACK CountKeyUps(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->hwnd == g_edit &&
        (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP))
        ++g_upsSeen;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Presses the keys in order, releases them in reverse order, and waits
// until the edit has had the last release.
void PressChord(const std::vector<WORD>& keys)
{
    std::vector<INPUT> inputs;
    for (WORD vk : keys)
        inputs.push_back(Key(vk, false));
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        inputs.push_back(Key(*it, true));
    const int target = g_upsSeen + static_cast<int>(keys.size());
    ASSERT_EQ(inputs.size(), SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)));
    ASSERT_TRUE(PumpUntil([&] { return g_upsSeen >= target; })) << "the key presses did not reach the edit";
}

} // namespace

TEST_F(SetupTest, KeysPressedInTheBossKeyEditShowTheirNames)
{
    struct Case {
        std::vector<WORD> keys;
        const wchar_t* text;
        int vk; // the code kept: the last key pressed
    };
    const Case cases[] = {
        {{VK_CONTROL, VK_SHIFT, VK_F5}, L"Ctrl+Shift+[F5]", VK_F5},
        {{VK_MENU, VK_NUMPAD7}, L"Alt+7[Num]", VK_NUMPAD7},
        {{VK_CONTROL, VK_MENU, 'K'}, L"Ctrl+Alt+K", 'K'},
        {{VK_OEM_PLUS}, L"=", VK_OEM_PLUS},
        {{VK_SHIFT, '5'}, L"Shift+5", '5'},
        {{VK_OEM_3}, L"`", VK_OEM_3},
        {{VK_OEM_1}, L";", VK_OEM_1},
        {{VK_OEM_5}, L"\\", VK_OEM_5},
        {{VK_OEM_7}, L"'", VK_OEM_7},
        {{VK_F12}, L"[F12]", VK_F12},
        {{VK_SPACE}, L"[SP]", VK_SPACE},
        {{VK_RETURN}, L"[EN]", VK_RETURN},
        {{VK_ESCAPE}, L"[ESC]", VK_ESCAPE},
        {{VK_TAB}, L"[TAB]", VK_TAB},
        {{VK_BACK}, L"[BK]", VK_BACK},
        {{VK_NEXT}, L"[PD]", VK_NEXT},
        {{VK_HOME}, L"[HOME]", VK_HOME},
        {{VK_UP}, L"[UF]", VK_UP},
        {{VK_DELETE}, L"[DEL]", VK_DELETE},
        {{VK_CONTROL}, L"", VK_CONTROL},             // only a modifier: cleared at release
        {{VK_CONTROL, VK_CAPITAL}, L"", VK_CAPITAL}, // a key without a name
    };
    Store(L"Common", L"UseHotKey", L"1");
    const int code = RunDialog([&](CGBSetup& dialog) {
        HWND edit = dialog.m_hotKeyEdit.m_hWnd;
        SetForegroundWindow(dialog.m_hWnd);
        SetFocus(edit);
        ASSERT_EQ(edit, GetFocus());
        g_edit = edit;
        HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &CountKeyUps, nullptr, GetCurrentThreadId());
        ASSERT_TRUE(hook);
        for (const Case& c : cases) {
            SCOPED_TRACE(Wide(c.text).c_str());
            SetWindowTextW(edit, L"x");
            PressChord(c.keys);
            EXPECT_EQ(CString(c.text), TextOf(edit));
            EXPECT_EQ(c.vk, dialog.m_hotKeyEdit.m_nVirtualKey);
        }
        UnhookWindowsHookEx(hook);
        // Enter and Escape went to the edit, not to the dialog.
        EXPECT_FALSE(dialog.m_end);
        ClickItem(dialog, IDC_SETUP_CANCEL);
    });
    EXPECT_EQ(kSetupEndCode, code);
}
