// A stand-in for the Display control panel started through "rundll32.exe"
// (Wine has no desk.cpl). Tests copy it as rundll32.exe into the folder the
// program searches first. It writes UTF-8 lines to RAVONYX_RUNDLL_LOG:
//   command <its command line>
//   BM_CLICK <1 when its dialog was hidden then> <left> <top>
//   WM_CLOSE <milliseconds since its window was made>
//   end
// and shows, as RAVONYX_RUNDLL_SHOW says:
//   dialog      a "#32770" of its own with the button "确定" (XP's Display dialog)
//   dialog-en   the same with "OK"
//   dialog-bare the same with only a "取消" button
//   cabinet     a "CabinetWClass" window titled "个性化" (Vista and 7)
//   cabinet-en  the same titled "Personalization"
//   anything else: nothing, and it ends at once (as Wine's rundll32 does).
// WM_APP + 1 ends it without a record (the test's own clean-up); it ends on
// its own after 30 seconds. When it ends it sets the event named by
// RAVONYX_RUNDLL_DONE.
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr UINT WM_END_BY_TEST = WM_APP + 1;
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetimeMs = 30000;
constexpr int kButtonId = 100;

DWORD g_madeAt = 0;
WNDPROC g_buttonProc = nullptr;

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[1024] = {};
    GetEnvironmentVariableW(name, value, 1024);
    return value;
}

void Record(const std::wstring& line)
{
    const std::wstring path = Environment(L"RAVONYX_RUNDLL_LOG");
    if (path.empty())
        return;
    const std::wstring text = line + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], size, nullptr, nullptr);
    HANDLE log = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(log, utf8.data(), static_cast<DWORD>(utf8.size() - 1), &written, nullptr);
    CloseHandle(log);
}

LRESULT CALLBACK ButtonProc(HWND button, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == BM_CLICK) {
        HWND dialog = GetParent(button);
        RECT rect = {};
        GetWindowRect(dialog, &rect);
        Record(L"BM_CLICK " + std::to_wstring(IsWindowVisible(dialog) ? 0 : 1) + L" " +
               std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return 0;
    }
    return CallWindowProcW(g_buttonProc, button, msg, wParam, lParam);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        g_buttonProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            GetDlgItem(dialog, kButtonId), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonProc)));
        SetTimer(dialog, kLifetimeTimer, kLifetimeMs, nullptr);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    case WM_END_BY_TEST:
    case WM_TIMER:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

// A dialog template in memory: one push button.
void Append(std::vector<WORD>& out, const wchar_t* text)
{
    do {
        out.push_back(*text);
    } while (*text++);
}

void ShowDialog(const wchar_t* buttonText)
{
    std::vector<WORD> t;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT;
    t.push_back(LOWORD(style));
    t.push_back(HIWORD(style));
    t.push_back(0);
    t.push_back(0); // extended style
    t.push_back(1); // items
    t.push_back(40);
    t.push_back(40);
    t.push_back(200);
    t.push_back(120);
    t.push_back(0); // no menu
    t.push_back(0); // standard class
    Append(t, L"显示 属性");
    t.push_back(9);
    Append(t, L"宋体");
    if (t.size() % 2)
        t.push_back(0); // DWORD alignment of the item
    const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    t.push_back(LOWORD(buttonStyle));
    t.push_back(HIWORD(buttonStyle));
    t.push_back(0);
    t.push_back(0);
    t.push_back(130);
    t.push_back(95);
    t.push_back(60);
    t.push_back(16);
    t.push_back(kButtonId);
    t.push_back(0xFFFF);
    t.push_back(0x0080); // button class
    Append(t, buttonText);
    t.push_back(0); // no creation data
    // Templates must be DWORD aligned.
    std::vector<DWORD> aligned((t.size() + 1) / 2);
    memcpy(aligned.data(), t.data(), t.size() * sizeof(WORD));
    g_madeAt = GetTickCount();
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(aligned.data()),
                            nullptr, DialogProc, 0);
}

LRESULT CALLBACK CabinetProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CLOSE:
        Record(L"WM_CLOSE " + std::to_wstring(GetTickCount() - g_madeAt));
        DestroyWindow(window);
        return 0;
    case WM_END_BY_TEST:
    case WM_TIMER:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, msg, wParam, lParam);
    }
}

void ShowCabinet(const wchar_t* title)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CabinetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CabinetWClass";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    g_madeAt = GetTickCount();
    HWND window = CreateWindowExW(0, L"CabinetWClass", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 400,
                                  300, nullptr, nullptr, wc.hInstance, nullptr);
    SetTimer(window, kLifetimeTimer, kLifetimeMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    Record(std::wstring(L"command ") + GetCommandLineW());
    const std::wstring show = Environment(L"RAVONYX_RUNDLL_SHOW");
    if (show == L"dialog")
        ShowDialog(L"确定");
    else if (show == L"dialog-en")
        ShowDialog(L"OK");
    else if (show == L"dialog-bare")
        ShowDialog(L"取消");
    else if (show == L"cabinet")
        ShowCabinet(L"个性化");
    else if (show == L"cabinet-en")
        ShowCabinet(L"Personalization");
    Record(L"end");
    const std::wstring done = Environment(L"RAVONYX_RUNDLL_DONE");
    if (!done.empty()) {
        if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, done.c_str())) {
            SetEvent(event);
            CloseHandle(event);
        }
    }
    return 0;
}
