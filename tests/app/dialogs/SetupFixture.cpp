#include "tests/app/dialogs/SetupFixture.h"

#include "app/common/ConfigCodec.h"
#include "app/startup/CorvaneModule.h"
#include "skin/SkFontPool.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "skin/SkTabCtrl.h"
#include "skin/SkWinManager.h"

namespace {

constexpr UINT WM_DIALOG_UP = WM_APP + 1;
constexpr UINT_PTR kWatchdog = 1;
constexpr UINT kWatchdogMs = 20000;

SetupTest* g_running = nullptr;

ATOM RegisterPlainClass(const wchar_t* name, WNDPROC proc)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return RegisterClassW(&wc);
}

} // namespace

void StartSkinForTests()
{
    static const bool started = [] {
        LoadStringTable();
        SetDefaultFontFace(SkString::Get(0));
        LoadSkins();
        LoadStyles();
        return true;
    }();
    (void)started;
}

void SetupTest::SetUp()
{
    StartSkinForTests();
    static const ATOM classes = [] {
        RegisterPlainClass(L"SetupTestHelper", &SetupTest::HelperProc);
        return RegisterPlainClass(L"SetupTestMain", &SetupTest::MainProc);
    }();
    (void)classes;
    g_running = this;
    MakeFolderFor(Ini());
    WriteFileBytes(Ini(), "");
    _Module.m_strAppDir = app.Path();
    _Module.m_strDownloadDir = app.Path();
    m_helper = CreateWindowExW(0, L"SetupTestHelper", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    mainWindow = CreateWindowExW(0, L"SetupTestMain", L"主窗口", WS_POPUP | WS_VISIBLE, 100, 100, 960, 660,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(m_helper && mainWindow);
    SetForegroundWindow(mainWindow);
    SetActiveWindow(mainWindow);
    m_hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &SetupTest::HookProc, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(m_hook);
}

void SetupTest::TearDown()
{
    UnhookWindowsHookEx(m_hook);
    DestroyWindow(mainWindow);
    DestroyWindow(m_helper);
    g_running = nullptr;
    EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " message box answers were not used";
}

int SetupTest::RunDialog(const std::function<void(CGBSetup&)>& action, HWND over)
{
    m_action = action;
    m_over = over ? over : mainWindow;
    SetActiveWindow(m_over);
    SetTimer(m_helper, kWatchdog, kWatchdogMs, nullptr);
    const int code = CGBSetup::Open(mainWindow);
    KillTimer(m_helper, kWatchdog);
    m_action = nullptr;
    return code;
}

void SetupTest::Store(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    ASSERT_NE(0, WriteConfigValue(section, key, value, Ini())) << Wide(key).c_str();
}

CString SetupTest::Stored(const wchar_t* section, const wchar_t* key)
{
    CString value;
    if (!ReadConfigValue(section, key, Ini(), L"<absent>", MAX_PATH, value))
        return L"<unreadable>";
    return value;
}

// Waits for WM_INITDIALOG of a settings dialog or a message box and posts
// the answer, which runs once the window's own loop takes messages.
LRESULT CALLBACK SetupTest::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG && g_running) {
        CWindowImpl* object = CWindowImpl::FromHandle(call->hwnd);
        if (dynamic_cast<CGBSetup*>(object) || dynamic_cast<CCorvaneMsgBox*>(object))
            PostMessageW(g_running->m_helper, WM_DIALOG_UP, reinterpret_cast<WPARAM>(call->hwnd), 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK SetupTest::HelperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_running && msg == WM_DIALOG_UP) {
        g_running->OnDialogUp(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    if (g_running && msg == WM_TIMER && wParam == kWatchdog) {
        KillTimer(hwnd, kWatchdog);
        g_running->OnWatchdog();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SetupTest::MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_HOTKEY && g_running) {
        g_running->hotKeysSeen.push_back(static_cast<UINT>(wParam));
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void SetupTest::OnDialogUp(HWND hwnd)
{
    CWindowImpl* object = CWindowImpl::FromHandle(hwnd);
    if (auto* box = dynamic_cast<CCorvaneMsgBox*>(object)) {
        boxes.push_back({box->m_text, box->m_caption});
        if (m_answers.empty()) {
            ADD_FAILURE() << "unexpected message box: " << box->m_text.ToUtf8();
            box->EndDialog(IDC_MSGBOX_CLOSE);
            return;
        }
        const int button = m_answers.front();
        m_answers.pop_front();
        ClickItem(*box, static_cast<UINT>(button));
        return;
    }
    if (auto* setup = dynamic_cast<CGBSetup*>(object)) {
        ++setupDialogsUp;
        if (m_inAction) {
            ADD_FAILURE() << "a second settings dialog came up";
            setup->EndDialog(-1);
            return;
        }
        EXPECT_EQ(m_over, GetWindow(hwnd, GW_OWNER));
        m_inAction = true;
        if (m_action)
            m_action(*setup);
        else
            setup->EndDialog(-1);
        m_inAction = false;
    }
}

void SetupTest::OnWatchdog()
{
    ADD_FAILURE() << "a dialog was still up; the watchdog ended it";
    SkWinManager* manager = SkWinManager::Instance();
    while (HWND active = manager ? manager->GetActiveDialog() : nullptr) {
        auto* dialog = dynamic_cast<CSkDialogImplBase*>(CWindowImpl::FromHandle(active));
        if (!dialog || dialog->m_end)
            break;
        dialog->EndDialog(-1);
        break;
    }
}

void SetupTest::ClickItem(CSkDialogImplBase& dialog, UINT id)
{
    CSkWindow* item = dialog.m_view.FindItem(id);
    ASSERT_NE(item, nullptr) << "item " << id;
    const LPARAM at = MAKELPARAM((item->m_rect.left + item->m_rect.right) / 2,
                                 (item->m_rect.top + item->m_rect.bottom) / 2);
    HWND view = dialog.m_view.m_hWnd;
    SendMessageW(view, WM_MOUSEMOVE, 0, at);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(view, WM_LBUTTONUP, 0, at);
}

void SetupTest::ClickTab(CGBSetup& dialog, int index)
{
    auto* tabs = static_cast<CSkTabCtrl*>(dialog.m_view.FindItem(IDC_SETUP_TABS));
    ASSERT_NE(tabs, nullptr);
    RECT tab;
    ASSERT_TRUE(tabs->GetTabRect(index, tab));
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    HWND view = dialog.m_view.m_hWnd;
    SendMessageW(view, WM_MOUSEMOVE, 0, at);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(view, WM_LBUTTONUP, 0, at);
}

CString SetupTest::TextOf(HWND hwnd)
{
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

bool SetupTest::IsChecked(CGBSetup& dialog, UINT id)
{
    CSkWindow* item = dialog.m_view.FindItem(id);
    return item && (item->m_state & SKS_CHECKED);
}
