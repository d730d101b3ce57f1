// The main window in process: its private messages and their results, the
// timers that kill themselves, the caption buttons and system commands,
// closing, quitting, the hot key and the tray icon, the saved size, the
// bounded wait at its end, and its two page areas.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "app/catalog/CatalogSites.h"
#include "app/common/BackgroundWork.h"
#include "app/common/ConfigCodec.h"
#include "app/common/ServerAddresses.h"
#include "app/dialogs/WebDlg.h"
#include "app/mainwnd/HotKey.h"
#include "app/mainwnd/MainDlg.h"
#include "app/mainwnd/MainDlgMessages.h"
#include "app/mainwnd/ProgramFlags.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/RunApplication.h"
#include "app/stats/UsageStats.h"
#include "base/NotifyRecord.h"
#include "skin/CorvaneMsgBox.h"
#include "skin/SkImageWnd.h"
#include "skin/SkSkinPool.h"
#include "skin/SkTabCtrl.h"
#include "tests/skin/MsgBoxAnswer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

// Shows texts in test messages.
inline void PrintTo(const CString& text, std::ostream* os)
{
    *os << '"' << text.ToUtf8() << '"';
}

namespace {

void StartSkinOnce()
{
    static const bool started = [] {
        StartSkinLibrary();
        return true;
    }();
    (void)started;
}

// Takes a WM_QUIT posted to this thread; true when there was one.
bool TakeQuit()
{
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

// Runs this thread's messages until done() holds or 10 s have passed.
template <typename Done> bool PumpUntil(Done done)
{
    const ULONGLONG end = GetTickCount64() + 10000;
    while (!done() && GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return done();
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

LRESULT SendItemClick(HWND dialog, UINT itemId)
{
    SkItemClickNotify click = {};
    click.hdr.hwndFrom = dialog;
    click.hdr.idFrom = IDC_SKIN_VIEW;
    click.hdr.code = SKN_ITEM_CLICK;
    click.itemId = itemId;
    click.itemClass = "imgbtn";
    return SendNotifyRecord(dialog, IDC_SKIN_VIEW, click);
}

} // namespace

// A program folder with a settings file, and a main window made from it
// (not shown: the tests show it where they need to).
class MainDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        StartSkinOnce();
        m_savedAppDir = _Module.m_strAppDir;
        _Module.m_strAppDir = m_temp.Path();
        MakeFolderFor(Ini());
        WriteFileBytes(Ini(), "");
        _Module.m_bAutoRun = 0;
        _Module.m_nItemId = 0;
        _Module.m_nItemKind = 0;
        _Module.m_strHotKey = L"";
        _Module.m_nHotKeyVk = 0;
        _Module.m_bUpdateRunning = 0;
        _Module.m_strVersion = L"9.8.7.6";
        MsgBoxOnScreen = FALSE;
    }
    void TearDown() override
    {
        m_dlg.reset();
        _Module.m_strAppDir = m_savedAppDir;
        TakeQuit();
    }

    CString Ini() const { return m_temp / L"Config\\common.ini"; }
    void Set(const wchar_t* section, const wchar_t* key, const wchar_t* value)
    {
        ASSERT_NE(WriteConfigValue(section, key, value, Ini()), 0);
    }
    CString Get(const wchar_t* section, const wchar_t* key)
    {
        CString value = L"<absent>";
        ReadConfigValue(section, key, Ini(), L"<absent>", MAX_PATH, value);
        return value;
    }

    HWND Make()
    {
        m_dlg = std::make_unique<CCorvaneMainDlg>();
        HWND hwnd = m_dlg->Create(nullptr);
        EXPECT_NE(hwnd, nullptr);
        return hwnd;
    }
    void Destroy()
    {
        if (m_dlg && m_dlg->m_hWnd)
            DestroyWindow(m_dlg->m_hWnd);
    }
    CSkTabCtrl* Tabs() { return static_cast<CSkTabCtrl*>(m_dlg->m_view.FindItem(IDC_MAIN_TABS)); }

    CTempFolder m_temp;
    CString m_savedAppDir;
    std::unique_ptr<CCorvaneMainDlg> m_dlg;
};

TEST_F(MainDlgTest, PrivateMessagesAndTheirResults)
{
    HWND hwnd = Make();
    struct Case {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
    };
    const Case cases[] = {
        {WM_DOWNLOAD_ITEM, 0, 1, 1},
        {WM_DOWNLOAD_ITEM, 1, 0, 1},
        {WM_DOWNLOAD_ITEM, static_cast<WPARAM>(-1), 1, 1},
        {WM_SHOW_TAB_PAGE, 2, 3, 0},
        {WM_SHOW_TAB_PAGE, 2, 0, 1},
        {WM_SHOW_TAB_PAGE, 0, 3, 1},
        {WM_SHOW_TAB_PAGE, static_cast<WPARAM>(-1), 3, 1},
        {WM_MENU_NAVIGATE, 0, 0, 0},
        {WM_SHOW_FINISHED_POPUP, 4, 1, 0},
        // The gaps of the range are not handled.
        {0x8106, 1, 1, 0},
        {0x810D, 1, 1, 0},
        {0x810E, 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.msg << " " << c.wParam << " " << c.lParam);
        EXPECT_EQ(SendMessageW(hwnd, c.msg, c.wParam, c.lParam), c.result);
    }

    // An item id and kind start the item's download: with the web site
    // down, its request fails and the user is told (answered here).
    const CatalogSites saved = GetCatalogSites();
    SetCatalogSites({L"http://127.0.0.1:1", saved.contentSite, saved.downloadBase});
    bool told = false;
    {
        CBoxAnswer box([&](CCorvaneMsgBox& msgBox) {
            told = true;
            msgBox.EndDialog(IDOK);
        });
        EXPECT_EQ(SendMessageW(hwnd, WM_DOWNLOAD_ITEM, 5, 2), 0);
    }
    SetCatalogSites(saved);
    EXPECT_TRUE(told);

    EXPECT_EQ(SendMessageW(hwnd, WM_SELECT_TAB, 2, 0), 0);
    EXPECT_EQ(Tabs()->m_cursel, 2);
    EXPECT_EQ(SendMessageW(hwnd, WM_SELECT_TAB, 3, 0), 0);
    EXPECT_EQ(Tabs()->m_cursel, 3);
}

// A block in a posted message is freed only when this window posted it:
// another process may post any pointer.
TEST_F(MainDlgTest, PostedBlocksAreTakenOnlyWhenRecorded)
{
    HWND hwnd = Make();
    auto foreign = std::make_unique<PageCallRequest>();
    foreign->functionName = L"displayDownloadProgress";
    EXPECT_EQ(SendMessageW(hwnd, WM_PAGE_CALL, reinterpret_cast<WPARAM>(foreign.get()), 0), 0);
    EXPECT_EQ(SendMessageW(hwnd, 0x8104, reinterpret_cast<WPARAM>(foreign.get()), 0), 0);
    EXPECT_EQ(SendMessageW(hwnd, WM_PAGE_CALL, 0, 0), 0);
    EXPECT_EQ(foreign->functionName, L"displayDownloadProgress"); // still ours, untouched

    CPostedBlocks<PageCallRequest> blocks;
    auto block = std::make_unique<PageCallRequest>();
    PageCallRequest* raw = block.get();
    ASSERT_TRUE(blocks.Post(hwnd, WM_NULL, std::move(block)));
    EXPECT_EQ(blocks.Take(hwnd, WM_NULL, reinterpret_cast<WPARAM>(foreign.get())), nullptr);
    EXPECT_EQ(blocks.Take(hwnd, WM_PAGE_CALL, reinterpret_cast<WPARAM>(raw)), nullptr) << "another message";
    EXPECT_EQ(blocks.Take(GetDesktopWindow(), WM_NULL, reinterpret_cast<WPARAM>(raw)), nullptr)
        << "another window";
    EXPECT_EQ(blocks.Take(hwnd, WM_NULL, reinterpret_cast<WPARAM>(raw)).get(), raw);
    EXPECT_EQ(blocks.Take(hwnd, WM_NULL, reinterpret_cast<WPARAM>(raw)), nullptr) << "taken once";

    EXPECT_TRUE(m_dlg->PostPageCall(std::make_unique<PageCallRequest>()));
    Pump();
}

TEST_F(MainDlgTest, EachTimerKillsItselfAndTheStartTimerArmsTheUpdateCheck)
{
    HWND hwnd = Make();
    for (UINT_PTR id = TIMER_STARTUP; id <= TIMER_SHOW_REPORT; ++id) {
        SCOPED_TRACE(id);
        ASSERT_NE(SetTimer(hwnd, id, 100000, nullptr), 0u);
        SendMessageW(hwnd, WM_TIMER, id, 0);
        EXPECT_FALSE(KillTimer(hwnd, id)) << "the timer is gone";
        if (id == TIMER_STARTUP) {
            EXPECT_TRUE(KillTimer(hwnd, TIMER_UPDATE_CHECK)) << "the update check follows";
        }
    }
}

// The report timers send the run report of the way the program started
// and the show report to the web site.
TEST_F(MainDlgTest, ReportTimersSendTheRunAndShowReports)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    Set(L"Common", L"InstallDate", DateText(now)); // no start-page check on the install day
    const CatalogSites saved = GetCatalogSites();
    SetCatalogSites({CTestServer::Instance().Url(""), saved.contentSite, saved.downloadBase});
    HWND hwnd = Make();
    const struct {
        BYTE autoRun;
        UINT_PTR timer;
        const char* action;
    } rows[] = {{0, TIMER_RUN_REPORT, "normalrun"},
                {1, TIMER_RUN_REPORT, "hiderun"},
                {1, TIMER_SHOW_REPORT, "showrun"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.action);
        CTestServer::Instance().Reset();
        _Module.m_bAutoRun = row.autoRun;
        SendMessageW(hwnd, WM_TIMER, row.timer, 0);
        ASSERT_TRUE(WaitForBackgroundWork(20000)); // the reports go from workers
        const std::vector<std::string> requests = CTestServer::Instance().Requests();
        ASSERT_EQ(requests.size(), 1u);
        const std::string line = requests[0].substr(0, requests[0].find("\r\n"));
        const std::string start =
            std::string("GET /api.php?op=postadinfo_box&action=") + row.action + "&sid=";
        EXPECT_EQ(line.compare(0, start.size(), start), 0) << line;
        EXPECT_NE(line.find("&mac="), std::string::npos) << line;
    }
    _Module.m_bAutoRun = 0;
    SetCatalogSites(saved);
}

TEST_F(MainDlgTest, StartTimerRegistersTheHotKeyUntilTheWindowEnds)
{
    _Module.m_strHotKey = L"Ctrl+Alt+[F9]";
    _Module.m_nHotKeyVk = VK_F9;
    HWND hwnd = Make();
    std::thread([] {
        EXPECT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F9));
        UnregisterHotKey(nullptr, 1);
    }).join();
    SendMessageW(hwnd, WM_TIMER, TIMER_STARTUP, 0);
    std::thread([] {
        EXPECT_FALSE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F9));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
    }).join();
    Destroy();
    std::thread([] {
        EXPECT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F9));
        UnregisterHotKey(nullptr, 1);
    }).join();
}

TEST_F(MainDlgTest, NormalStartSelectsTheSecondTabAndArmsTheStartTimer)
{
    HWND hwnd = Make();
    EXPECT_TRUE(m_dlg->m_show);
    EXPECT_EQ(Tabs()->m_cursel, 1);
    EXPECT_TRUE(KillTimer(hwnd, TIMER_STARTUP));
}

TEST_F(MainDlgTest, AutorunStartsHiddenAndStartsOnTheFirstShow)
{
    _Module.m_bAutoRun = 1;
    HWND hwnd = Make();
    EXPECT_FALSE(m_dlg->m_show);
    EXPECT_FALSE(KillTimer(hwnd, TIMER_STARTUP)) << "no timer before the first show";
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_EQ(_Module.m_bAutoRun, 0);
    EXPECT_EQ(Tabs()->m_cursel, 1);
    EXPECT_TRUE(KillTimer(hwnd, TIMER_STARTUP));
    EXPECT_TRUE(KillTimer(hwnd, TIMER_SHOW_REPORT));
    ShowWindow(hwnd, SW_HIDE);
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_FALSE(KillTimer(hwnd, TIMER_SHOW_REPORT)) << "only the first show";
}

TEST_F(MainDlgTest, MaximiseButtonSkinFollowsTheWindow)
{
    HWND hwnd = Make();
    ShowWindow(hwnd, SW_SHOW);
    auto* button = static_cast<CSkImageWnd*>(m_dlg->m_view.FindItem(IDC_MAIN_MAXIMIZE));
    ASSERT_NE(button, nullptr);
    SendItemClick(hwnd, IDC_MAIN_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(hwnd));
    EXPECT_EQ(button->m_skin, FindSkin("restorebtn"));
    SendItemClick(hwnd, IDC_MAIN_MAXIMIZE);
    EXPECT_FALSE(IsZoomed(hwnd));
    EXPECT_EQ(button->m_skin, FindSkin("maxbtn"));
    SendItemClick(hwnd, IDC_MAIN_MINIMIZE);
    EXPECT_TRUE(IsIconic(hwnd));
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(button->m_skin, FindSkin("maxbtn")) << "a restore from the task bar leaves it";
}

TEST_F(MainDlgTest, CloseButtonHidesOrEndsByMinOrClose)
{
    struct Case {
        const wchar_t* value; // null: absent
        bool raw;             // stored without the codec
        bool ends;
    };
    const Case cases[] = {
        {nullptr, false, false}, {L"1", false, false},  {L"2", false, false},
        {L"0", false, true},     {L"~~~~", true, true}, // unreadable counts as 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? CString(c.value).ToUtf8() : "absent");
        WriteFileBytes(Ini(), "");
        if (c.value && c.raw) {
            CString key;
            EncodeConfigText(L"MinOrClose", key);
            WritePrivateProfileStringW(L"Common", key, c.value, Ini());
        } else if (c.value) {
            Set(L"Common", L"MinOrClose", c.value);
        }
        HWND hwnd = Make();
        ShowWindow(hwnd, SW_SHOW);
        SendItemClick(hwnd, IDC_MAIN_CLOSE);
        EXPECT_EQ(m_dlg->m_end, c.ends ? TRUE : FALSE);
        if (c.ends) {
            EXPECT_EQ(m_dlg->m_endCode, IDCANCEL);
        } else {
            EXPECT_FALSE(IsWindowVisible(hwnd)) << "hidden in the tray";
        }
        Destroy();
    }
}

TEST_F(MainDlgTest, FeedbackButtonRunsTheFeedbackPageModally)
{
    HWND hwnd = Make();
    ShowWindow(hwnd, SW_SHOW);
    CString url;
    CString second;
    bool ownerDisabled = false;
    // Once the modal loop runs: find the feedback window of this thread.
    static std::function<void()> s_act;
    s_act = [&] {
        struct Found {
            CWebDlgForFeedback* dialog = nullptr;
        } found;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM param) {
                if (auto* dialog = dynamic_cast<CWebDlgForFeedback*>(CWindowImpl::FromHandle(window)))
                    reinterpret_cast<Found*>(param)->dialog = dialog;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        ASSERT_NE(found.dialog, nullptr) << "no feedback window";
        url = found.dialog->Url();
        second = found.dialog->SecondPage();
        ownerDisabled = !IsWindowEnabled(hwnd);
        DestroyWindow(found.dialog->m_hWnd);
    };
    UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        s_act();
    });
    ASSERT_NE(timer, 0u);
    SendItemClick(hwnd, IDC_MAIN_FEEDBACK);
    EXPECT_EQ(CString(RAVONYX_CONTENT_SITE L"feedback.html"), url);
    EXPECT_EQ(m_temp / L"Local\\management\\error.html", second);
    EXPECT_TRUE(ownerDisabled) << "not modal";
    EXPECT_TRUE(IsWindowEnabled(hwnd));
    Destroy();
}

// Hiding to the tray while online schedules the enabled pop-ups once a day.
TEST_F(MainDlgTest, HidingWhileOnlineSchedulesTheEnabledPopups)
{
    const CString ad = m_temp / L"Config\\ad.ini";
    struct Case {
        BOOL online;
        int subscription;
        int receiveAd;
        bool news;
        bool min;
    };
    const Case cases[] = {
        {FALSE, 1, 1, false, false},
        {TRUE, 0, 1, false, true},
        {TRUE, 1, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.online << c.subscription << c.receiveAd);
        DeleteFileW(ad);
        WriteConfigValue(L"Common", L"Min_state", L"1", ad);
        WriteConfigValue(L"Common", L"NewsMin_state", L"1", ad);
        g_bOnline = c.online;
        _Module.m_nSubscription = c.subscription;
        _Module.m_nReceiveAd = c.receiveAd;
        HWND hwnd = Make();
        ShowWindow(hwnd, SW_SHOW);
        SendItemClick(hwnd, IDC_MAIN_CLOSE);
        EXPECT_EQ(c.news, KillTimer(hwnd, TIMER_NEWS_REPEAT) != FALSE);
        EXPECT_EQ(c.min, KillTimer(hwnd, TIMER_MIN_POPUP) != FALSE);
        Destroy();
    }
    g_bOnline = FALSE;
    _Module.m_nSubscription = 1;
    _Module.m_nReceiveAd = 1;
}

TEST_F(MainDlgTest, SystemCloseEndsUnlessAMessageBoxIsUp)
{
    HWND hwnd = Make();
    MsgBoxOnScreen = TRUE;
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(m_dlg->m_end);
    MsgBoxOnScreen = FALSE;
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(m_dlg->m_end);
    EXPECT_EQ(m_dlg->m_endCode, IDCANCEL);
}

// "退出" of either menu quits at once, or asks first while downloads run.
TEST_F(MainDlgTest, QuitFromTheMenusAsksOnlyWhileDownloading)
{
    HWND hwnd = Make();
    for (UINT command : {ID_TRAY_EXIT, ID_MENU_EXIT}) {
        SCOPED_TRACE(command);
        m_dlg->m_activeDownloads.clear();
        SendMessageW(hwnd, WM_COMMAND, command, 0);
        EXPECT_TRUE(TakeQuit());

        m_dlg->m_activeDownloads.push_back(ActiveDownload{L"17", 40, 1});
        for (int answer : {IDNO, IDYES}) {
            CString text;
            CString caption;
            UINT type = 0;
            CBoxAnswer box([&](CCorvaneMsgBox& msgBox) {
                text = msgBox.m_text;
                caption = msgBox.m_caption;
                type = msgBox.m_type;
                msgBox.EndDialog(answer);
            });
            SendMessageW(hwnd, WM_COMMAND, command, 0);
            EXPECT_EQ(text, L"有文件正在下载中，您确定退出吗！");
            EXPECT_EQ(caption, L"退出提示");
            EXPECT_EQ(type, static_cast<UINT>(MB_YESNO));
            EXPECT_EQ(TakeQuit(), answer == IDYES);
        }
    }
}

TEST_F(MainDlgTest, TrayRecordAndItsMessages)
{
    HWND hwnd = Make();
    // The icon follows the window's first paint, whether or not the window
    // is shown: the timer comes once nothing is left to paint.
    NOTIFYICONDATAW early = {};
    early.cbSize = kTrayRecordSize;
    early.hWnd = hwnd;
    early.uID = kTrayIconId;
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &early)) << "no icon before the first paint";
    EXPECT_TRUE(PumpUntil([&] { return m_dlg->m_nid.hWnd == hwnd; })) << "the timer after the first paint";
    const NOTIFYICONDATAW& nid = m_dlg->m_nid;
    EXPECT_EQ(nid.cbSize, kTrayRecordSize);
#if defined(_WIN64)
    EXPECT_EQ(nid.cbSize, 968u);
#endif
    EXPECT_EQ(nid.hWnd, hwnd);
    EXPECT_EQ(nid.uID, 101u);
    EXPECT_EQ(nid.uFlags, 23u);
    EXPECT_EQ(nid.uCallbackMessage, 0x4B4u);
    EXPECT_STREQ(nid.szTip, L"拉沃工坊");
    EXPECT_STREQ(nid.szInfoTitle, L"拉沃工坊");
    EXPECT_STREQ(nid.szInfo, L"");
    EXPECT_EQ(nid.dwInfoFlags, static_cast<DWORD>(NIIF_USER));
    EXPECT_NE(nid.hIcon, nullptr);

    // The icon is there: the shell takes a change to it.
    NOTIFYICONDATAW probe = nid;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));

    EXPECT_EQ(SendMessageW(hwnd, WM_TRAY_NOTIFY, 102, WM_LBUTTONUP), 1);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(SendMessageW(hwnd, WM_TRAY_NOTIFY, 101, WM_LBUTTONUP), 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));

    // The shell restarted: the icon comes back.
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    EXPECT_EQ(SendMessageW(hwnd, taskbarCreated, 0, 0), 0);
    probe = m_dlg->m_nid;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
    EXPECT_EQ(m_dlg->m_nid.uFlags, 23u);
}

TEST_F(MainDlgTest, HotKeyTogglesWindowAndTrayIcon)
{
    HWND hwnd = Make();
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_EQ(SendMessageW(hwnd, WM_HOTKEY, 7, 0), 0);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    NOTIFYICONDATAW probe = m_dlg->m_nid;
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe)) << "no icon while hidden by the hot key";

    EXPECT_EQ(SendMessageW(hwnd, WM_HOTKEY, 7, 0), 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    probe = m_dlg->m_nid;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));

    // "TaskbarCreated" while hidden by the hot key adds it again as well.
    SendMessageW(hwnd, WM_HOTKEY, 7, 0);
    SendMessageW(hwnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    probe = m_dlg->m_nid;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
}

TEST_F(MainDlgTest, SavedSizeIsTheNormalSizeAndComesBack)
{
    HWND hwnd = Make();
    ShowWindow(hwnd, SW_SHOW);
    SetWindowPos(hwnd, nullptr, 20, 20, 1000, 700, SWP_NOZORDER);
    RECT normal;
    GetWindowRect(hwnd, &normal);
    ASSERT_EQ(normal.right - normal.left, 1000);
    ASSERT_EQ(normal.bottom - normal.top, 700);
    ShowWindow(hwnd, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(hwnd));
    // The size the window comes back to, as the system keeps it; the
    // minimised rectangle is another one.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    ASSERT_TRUE(GetWindowPlacement(hwnd, &placement));
    const RECT& back = placement.rcNormalPosition;
    RECT iconic;
    GetWindowRect(hwnd, &iconic);
    EXPECT_NE(iconic.right - iconic.left, back.right - back.left);
    Destroy();
    CString expected;
    expected.Format(L"%d", static_cast<int>(back.bottom - back.top));
    EXPECT_EQ(Get(L"ProXYSet", L"Height"), expected);
    expected.Format(L"%d", static_cast<int>(back.right - back.left));
    EXPECT_EQ(Get(L"ProXYSet", L"Width"), expected);

    struct Case {
        const wchar_t* width;
        const wchar_t* height;
        LONG cx;
        LONG cy;
    };
    const Case cases[] = {
        {L"1000", L"700", 1000, 700}, {L"960", L"660", 960, 660}, {L"900", L"700", 960, 660},
        {L"1000", L"600", 960, 660},  {L"abc", L"700", 960, 660},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << CString(c.width).ToUtf8() << "x" << CString(c.height).ToUtf8());
        Set(L"ProXYSet", L"Width", c.width);
        Set(L"ProXYSet", L"Height", c.height);
        HWND again = Make();
        RECT rect;
        GetWindowRect(again, &rect);
        EXPECT_EQ(rect.right - rect.left, c.cx);
        EXPECT_EQ(rect.bottom - rect.top, c.cy);
        Destroy();
    }
}

TEST_F(MainDlgTest, TheEndWaitsForAnUpdateOnlyForABoundedTime)
{
    HWND hwnd = Make();
    _Module.m_bUpdateRunning = 1;
    m_dlg->m_updateWaitLimitMs = 400;
    ULONGLONG start = GetTickCount64();
    Destroy();
    EXPECT_GE(GetTickCount64() - start, 350u);
    EXPECT_FALSE(IsWindow(hwnd));

    // The update ends first: the window goes right after it.
    hwnd = Make();
    ASSERT_EQ(m_dlg->m_updateWaitLimitMs, kUpdateWaitLimitMs);
    EXPECT_EQ(kUpdateWaitLimitMs, 60000u);
    std::thread update([] {
        Sleep(300);
        _Module.m_bUpdateRunning = 0;
    });
    start = GetTickCount64();
    Destroy();
    update.join();
    EXPECT_LT(GetTickCount64() - start, 5000u);
}

TEST_F(MainDlgTest, FooterAndPageAreas)
{
    HWND hwnd = Make();
    EXPECT_EQ(m_dlg->m_view.FindItem(IDC_MAIN_VERSION)->m_text, L"9.8.7.6");
    EXPECT_EQ(m_dlg->m_view.FindItem(IDC_FOOTER_VERSION)->m_text, L"9.8.7.6");
    CString resolution;
    resolution.Format(L"%dX%d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(m_dlg->m_view.FindItem(IDC_FOOTER_RESOLUTION)->m_text, resolution);
    EXPECT_FALSE(m_dlg->m_view.FindItem(IDC_FOOTER_WINDOWS)->m_text.IsEmpty());
    EXPECT_EQ(m_dlg->m_strErrorPage, m_temp / L"Local\\management\\error.html");
    EXPECT_EQ(m_dlg->m_strLeftPage, m_temp / L"Local\\management\\left.html");

    for (UINT id : {IDC_MENU_BROWSER, IDC_CONTENT_BROWSER}) {
        SCOPED_TRACE(id);
        HWND pane = GetDlgItem(m_dlg->m_view.m_hWnd, static_cast<int>(id));
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(GetWindowLongPtrW(pane, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        RECT rect;
        GetClientRect(pane, &rect);
        ASSERT_GT(rect.right, 40);
        ASSERT_GT(rect.bottom, 40);
        // The waiting text on the page background.
        HDC screen = GetDC(nullptr);
        CMemoryDc dc(CreateCompatibleDC(screen));
        CBitmapHandle bitmap(CreateCompatibleBitmap(screen, rect.right, rect.bottom));
        ReleaseDC(nullptr, screen);
        CSelectObject select(dc, bitmap);
        SendMessageW(pane, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
        EXPECT_EQ(GetPixel(dc, 1, 1), kPageBackground);
        EXPECT_EQ(GetPixel(dc, rect.right - 2, rect.bottom - 2), kPageBackground);
        int inked = 0;
        for (int x = 0; x < rect.right; ++x)
            for (int dy = -6; dy <= 6; ++dy)
                inked += GetPixel(dc, x, rect.bottom / 2 + dy) != kPageBackground;
        EXPECT_GT(inked, 20) << "the waiting text is drawn";
    }
    (void)hwnd;
}

namespace {

CString g_firstItem;
HWND g_foreground;

// Runs inside the menu's loop: reads the open menu's first item and ends it.
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    g_foreground = GetForegroundWindow();
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    wchar_t text[64] = {};
    GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    g_firstItem = text;
    EndMenu();
}

} // namespace

TEST_F(MainDlgTest, TrayMenuFirstItemFollowsTheWindow)
{
    HWND hwnd = Make();
    for (bool visible : {true, false}) {
        SCOPED_TRACE(visible);
        ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
        g_firstItem = L"<no menu>";
        SetTimer(nullptr, 0, 200, &ReadOpenMenu);
        g_foreground = nullptr;
        SendMessageW(hwnd, WM_TRAY_NOTIFY, 101, WM_RBUTTONUP);
        EXPECT_EQ(g_firstItem, visible ? L"隐藏" : L"显示");
        // The window is in the foreground while its menu is up, so a click
        // elsewhere closes the menu, and a WM_NULL follows the menu.
        if (visible) {
            EXPECT_EQ(g_foreground, hwnd);
        }
        bool nullPosted = false;
        MSG msg;
        while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE))
            nullPosted = nullPosted || msg.message == WM_NULL;
        EXPECT_TRUE(nullPosted);
    }
}
