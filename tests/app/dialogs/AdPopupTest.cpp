// The pop-up schedule against the test server: the state and info replies,
// "Config\ad.ini" after each, the day marks, the timers armed on the main
// window, the network wait and opening the windows.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "app/common/BackgroundWork.h"
#include "app/common/ConfigCodec.h"
#include "app/dialogs/AdPopupSchedule.h"
#include "app/dialogs/AdStateWork.h"
#include "app/dialogs/WebDlg.h"
#include "app/mainwnd/MainDlgMessages.h"
#include "app/mainwnd/ProgramFlags.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/RunApplication.h"
#include "base/Thread.h"
#include "tests/app/browser/BrowserTestSupport.h"
#include "tests/support/Responsiveness.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

namespace {

// A day mark days away from today.
int DayMarkFromToday(int days)
{
    __time64_t when = _time64(nullptr) + static_cast<__time64_t>(days) * 24 * 3600;
    struct tm local = {};
    _localtime64_s(&local, &when);
    return (local.tm_mon + 1) * 100 + local.tm_mday;
}

// Closes the web dialogs of this thread.
void CloseWebDialogs()
{
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) {
            if (dynamic_cast<CWebDlg*>(CWindowImpl::FromHandle(hwnd)))
                DestroyWindow(hwnd);
            return TRUE;
        },
        0);
}

class AdPopupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTestServer::Instance().Reset();
        _Module.m_strAppDir = app / L"";
        MakeFolderFor(AdSettingsFile());
        g_bNewsDlgOpen = FALSE;
        g_bAdPopupOpen = FALSE;
        ASSERT_TRUE(mainWnd.CreateTop(10, 10));
    }
    void TearDown() override { mainWnd.DestroyWindow(); }

    void Reply(const std::string& body)
    {
        CTestServer::Instance().Reset();
        CTestServer::Instance().AddRoute(R"({"path": "/ad", "body": ")" + body + R"("})");
    }
    static CString Url() { return CTestServer::Instance().Url("/ad"); }
    CString Stored(const wchar_t* key)
    {
        CString value;
        ReadConfigValue(L"Common", key, AdSettingsFile(), L"<none>", MAX_PATH, value);
        return value;
    }
    void Store(const wchar_t* key, const CString& value)
    {
        WriteConfigValue(L"Common", key, value, AdSettingsFile());
    }
    static CString Mark(int days)
    {
        CString text;
        text.Format(L"%d", DayMarkFromToday(days));
        return text;
    }
    // Whether the main window's timer is armed (it is disarmed by asking).
    bool TimerArmed(UINT_PTR id) { return KillTimer(mainWnd.m_hWnd, id) != FALSE; }

    CTempFolder app;
    CMenuTarget mainWnd;
};

// Once a day means once a calendar day of the user's clock: the mark stored
// is the month and the day written together ("303" for 3 March, "1212" for 12
// December), and a stored mark of today keeps the day claimed.
TEST_F(AdPopupTest, TheDayStampClaimsTheCalendarDayOnce)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    wchar_t today[8] = {};
    swprintf(today, 8, L"%u%02u", now.wMonth, now.wDay);
    struct Case {
        const wchar_t* stored; // null: absent
        const wchar_t* show;
        bool alreadyClaimed;
        const wchar_t* after;
    };
    const Case cases[] = {
        {nullptr, L"1", false, today},  {L"1301", L"1", false, today},     {today, L"1", true, today},
        {L"1301", L"0", true, L"1301"}, {nullptr, L"11", true, L"<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.stored ? c.stored : L"absent").ToUtf8() + " / " + CString(c.show).ToUtf8());
        DeleteFileW(AdSettingsFile());
        if (c.stored)
            Store(L"AdToDay", c.stored);
        EXPECT_EQ(c.alreadyClaimed, TakeDayStamp(L"AdToDay", AdSettingsFile(), c.show));
        EXPECT_EQ(CString(c.after), Stored(L"AdToDay"));
    }
}

TEST_F(AdPopupTest, StateReplies)
{
    struct Case {
        const char* name;
        int kind;
        const char* reply;
        const wchar_t* storedDay; // the day key before (null: absent)
        bool accepted;
        int show;
        int delay;
        const wchar_t* state; // stored state and time values after
        const wchar_t* time;
        bool dayClaimed; // the day key holds today after
    };
    const Case cases[] = {
        {"new day", kAdStateStart, "success | show=1 | time=30 | ms=1 | mt=600 | isday=1", nullptr, true, 1,
         30, L"1", L"600", true},
        {"same day again", kAdStateStart, "success | show=1 | time=30 | ms=1 | mt=600 | isday=1", L"today",
         true, 0, 0, L"1", L"600", true},
        {"yesterday's mark", kAdStateNews, "success | show=1 | time=9 | ns=0 | nt=5 | isday=1", L"yesterday",
         true, 1, 9, L"0", L"5", true},
        {"not once a day", kAdStateNews, "success | show=1 | time=7 | ns=1 | nt=8 | isday=0", L"today", true,
         1, 7, L"1", L"8", true},
        {"nothing to show claims no day", kAdStateStart, "success | show=0 | time=7 | ms=1 | mt=8 | isday=1",
         nullptr, true, 0, 0, L"1", L"8", false},
        {"value between the first and second =", kAdStateStart,
         "success | show=1=x | time=4=5 | ms=1=2 | mt=60=70 | isday=1", nullptr, true, 1, 4, L"1", L"60",
         true},
        {"five fields", kAdStateStart, "success | show=1 | time=30 | ms=1 | mt=600", nullptr, false, 0, 0,
         L"<none>", L"<none>", false},
        {"seven fields", kAdStateStart, "success | show=1 | time=30 | ms=1 | mt=600 | isday=1 | x=1", nullptr,
         false, 0, 0, L"<none>", L"<none>", false},
        {"isday in other case", kAdStateNews, "success | show=1 | time=30 | ms=1 | mt=600 | IsDay=1", nullptr,
         false, 0, 0, L"<none>", L"<none>", false},
        {"field without a value", kAdStateNews, "success | show | time=30 | ms=1 | mt=600 | isday=1", nullptr,
         false, 0, 0, L"<none>", L"<none>", false},
        {"no success", kAdStateNews, "fail | show=1 | time=30 | ms=1 | mt=600 | isday=1", nullptr, false, 0,
         0, L"<none>", L"<none>", false},
        {"empty reply", kAdStateNews, "", nullptr, false, 0, 0, L"<none>", L"<none>", false},
        {"a reply that ends with a line break", kAdStateStart,
         "success | show=1 | time=30 | ms=1 | mt=600 | isday=1\\r\\n", L"today", true, 0, 0, L"1", L"600",
         true},
        {"a line break alone", kAdStateNews, "\\r\\n", nullptr, false, 0, 0, L"<none>", L"<none>", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool start = c.kind == kAdStateStart;
        const wchar_t* dayKey = start ? L"AdToDay" : L"NewsToDay";
        const wchar_t* stateKey = start ? L"Min_state" : L"NewsMin_state";
        const wchar_t* timeKey = start ? L"Min_time" : L"NewsMin_time";
        DeleteFileW(AdSettingsFile());
        if (c.storedDay)
            Store(dayKey, Mark(CString(c.storedDay) == L"today" ? 0 : -1));
        Reply(c.reply);
        int show = 0;
        int delay = 0;
        EXPECT_EQ(c.accepted, ParseAdStateReply(Url(), show, delay, c.kind));
        EXPECT_EQ(c.show, show);
        EXPECT_EQ(c.delay, delay);
        EXPECT_EQ(CString(c.state), Stored(stateKey));
        EXPECT_EQ(CString(c.time), Stored(timeKey));
        if (c.dayClaimed) {
            EXPECT_EQ(Mark(0), Stored(dayKey));
        } else if (!c.storedDay) {
            EXPECT_EQ(CString(L"<none>"), Stored(dayKey));
        }
        // The other kind's keys stay untouched.
        EXPECT_EQ(CString(L"<none>"), Stored(start ? L"NewsToDay" : L"AdToDay"));
    }
    // The keys and values are stored scrambled.
    Reply("success | show=1 | time=3 | ns=1 | nt=8 | isday=0");
    int show = 0;
    int delay = 0;
    ASSERT_TRUE(ParseAdStateReply(Url(), show, delay, kAdStateNews));
    const std::string bytes = ReadFileBytes(AdSettingsFile());
    EXPECT_NE(std::string::npos, bytes.find("[Common]"));
    EXPECT_EQ(std::string::npos, bytes.find("NewsMin_state"));
}

TEST_F(AdPopupTest, StateQueryArmsTheKindsTimerOnlyWhenDue)
{
    struct Case {
        int kind;
        const char* reply;
        UINT_PTR timer;
        bool armed;
    };
    const Case cases[] = {
        {kAdStateStart, "success | show=1 | time=0 | a=1 | b=2 | isday=0", TIMER_START_POPUP, true},
        {kAdStateNews, "success | show=1 | time=-3 | a=1 | b=2 | isday=0", TIMER_NEWS_POPUP, true},
        {kAdStateStart, "success | show=0 | time=5 | a=1 | b=2 | isday=0", TIMER_START_POPUP, false},
        {kAdStateNews, "success | show=1 | time=5 | a=1 | b=2", TIMER_NEWS_POPUP, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        Reply(c.reply);
        QueryAdState(mainWnd.m_hWnd, c.kind, Url());
        EXPECT_EQ(c.armed, TimerArmed(c.timer));
        EXPECT_FALSE(TimerArmed(c.kind == kAdStateStart ? TIMER_NEWS_POPUP : TIMER_START_POPUP));
    }
    // The delay rounds up to a second: a zero delay fires after about one.
    Reply("success | show=1 | time=0 | a=1 | b=2 | isday=0");
    QueryAdState(mainWnd.m_hWnd, kAdStateStart, Url());
    const DWORD start = GetTickCount();
    MSG msg = {};
    while (GetTickCount() - start < 5000 &&
           !PeekMessageW(&msg, mainWnd.m_hWnd, WM_TIMER, WM_TIMER, PM_REMOVE))
        Sleep(20);
    EXPECT_EQ(static_cast<UINT>(WM_TIMER), msg.message);
    EXPECT_EQ(TIMER_START_POPUP, msg.wParam);
    EXPECT_GE(GetTickCount() - start, 900u);
    KillTimer(mainWnd.m_hWnd, TIMER_START_POPUP);
}

// A delay of more seconds than a timer can count in milliseconds waits as
// long as a timer can, never a few milliseconds of the wrapped product.
TEST_F(AdPopupTest, AVeryLongDelayIsNotCutShort)
{
    // 4294968 s is 4294968000 ms: 704 ms once cut to 32 bits.
    Reply("success | show=1 | time=4294968 | a=1 | b=2 | isday=0");
    QueryAdState(mainWnd.m_hWnd, kAdStateStart, Url());
    Store(L"Min_state", L"1");
    Store(L"Min_time", L"4294968");
    Store(L"MinToDay", L"1301");
    ScheduleAdPopup(mainWnd.m_hWnd, kSchedulePopupMin);
    const DWORD start = GetTickCount();
    MSG msg = {};
    bool fired = false;
    while (!fired && GetTickCount() - start < 2500) {
        fired = PeekMessageW(&msg, mainWnd.m_hWnd, WM_TIMER, WM_TIMER, PM_REMOVE) != FALSE;
        Sleep(20);
    }
    EXPECT_FALSE(fired) << "timer " << msg.wParam << " fired after " << GetTickCount() - start << " ms";
    EXPECT_TRUE(TimerArmed(TIMER_START_POPUP));
    EXPECT_TRUE(TimerArmed(TIMER_MIN_POPUP));
}

TEST_F(AdPopupTest, InfoReplies)
{
    struct Case {
        const char* reply;
        bool accepted;
        int width;
        int height;
        const wchar_t* page;
    };
    const Case cases[] = {
        {"success | Width=300 | Height=200 | Url=http://a/b.html", true, 300, 200, L"http://a/b.html"},
        {"success | Width=300 | Height=200 | Url=http://a/b.html?x=1&y=2", true, 300, 200,
         L"http://a/b.html?x=1&y=2"},
        {"success | Width=0 | Height=200 | Url=http://a/b.html", true, 0, 200, L"http://a/b.html"},
        {"success | width=300 | Height=200 | Url=http://a/b.html", false, -1, -1, L"stale"},
        {"success | Width=300 | Height=200 | URL=http://a/b.html", false, -1, -1, L"stale"},
        {"success | Height=200 | Width=300 | Url=http://a/b.html", false, -1, -1, L"stale"},
        {"success | Width=300 | Height=200", false, -1, -1, L"stale"},
        {"success | Width=300 | Height=200 | Url=http://a/b.html | x=1", false, -1, -1, L"stale"},
        {"success | Width=300 | Height | Url=http://a/b.html", false, -1, -1, L"stale"},
        {"fail | Width=300 | Height=200 | Url=http://a/b.html", false, -1, -1, L"stale"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        Reply(c.reply);
        int width = -1;
        int height = -1;
        CString page = L"stale";
        EXPECT_EQ(c.accepted, ParsePopupReply(Url(), width, height, page));
        if (c.accepted) {
            EXPECT_EQ(c.width, width);
            EXPECT_EQ(c.height, height);
            EXPECT_EQ(CString(c.page), page);
        }
    }
    // No server at all.
    int width = 0;
    int height = 0;
    CString page;
    EXPECT_FALSE(ParsePopupReply(L"http://127.0.0.1:9/ad", width, height, page));
}

TEST_F(AdPopupTest, HidingSchedulesEachKindOncePerDay)
{
    struct Case {
        int kind;
        const wchar_t* state;
        const wchar_t* dayKey;
        UINT_PTR timer;
    };
    const Case cases[] = {
        {kSchedulePopupMin, L"Min_state", L"MinToDay", TIMER_MIN_POPUP},
        {kSchedulePopupNews, L"NewsMin_state", L"NewsToDay", TIMER_NEWS_REPEAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.dayKey).ToUtf8());
        DeleteFileW(AdSettingsFile());
        ScheduleAdPopup(mainWnd.m_hWnd, c.kind);
        EXPECT_FALSE(TimerArmed(c.timer)) << "state absent";
        Store(c.state, L"0");
        ScheduleAdPopup(mainWnd.m_hWnd, c.kind);
        EXPECT_FALSE(TimerArmed(c.timer)) << "state off";

        Store(c.state, L"1");
        Store(c.dayKey, Mark(-1));
        ScheduleAdPopup(mainWnd.m_hWnd, c.kind);
        EXPECT_TRUE(TimerArmed(c.timer));
        EXPECT_EQ(Mark(0), Stored(c.dayKey));
        ScheduleAdPopup(mainWnd.m_hWnd, c.kind);
        EXPECT_FALSE(TimerArmed(c.timer)) << "a second hide the same day";
    }
    // The news at start-up and on hide share their day.
    DeleteFileW(AdSettingsFile());
    Reply("success | show=1 | time=0 | ns=1 | nt=-5 | isday=1");
    int show = 0;
    int delay = 0;
    ASSERT_TRUE(ParseAdStateReply(Url(), show, delay, kAdStateNews));
    EXPECT_EQ(1, show);
    ScheduleAdPopup(mainWnd.m_hWnd, kSchedulePopupNews);
    EXPECT_FALSE(TimerArmed(TIMER_NEWS_REPEAT));
}

TEST_F(AdPopupTest, NetworkWaitProbesByItsSchedule)
{
    const std::vector<DWORD> waits = NetworkProbeSchedule();
    ASSERT_EQ(10u, waits.size());
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(i < 6 ? 20000u : i < 9 ? 600000u : 1800000u, waits[i]) << i;

    Reply("success");
    EXPECT_TRUE(WaitForNetwork(Url(), {60000, 60000})) << "a live server answers the first probe";
    const DWORD start = GetTickCount();
    EXPECT_FALSE(
        WaitForNetwork(L"http://127.0.0.1:9/api.php?op=ad_box&type=news&action=state", {10, 10, 10}));
    EXPECT_LT(GetTickCount() - start, 20000u);
}

TEST_F(AdPopupTest, ShowWebPopupOpensTheKindAndSetsItsFlagOnlyOnSuccess)
{
    static const bool started = [] {
        StartSkinLibrary();
        return true;
    }();
    (void)started;
    CComApartment com;
    // No such layout: no window, and the kind stays free.
    ShowWebPopup(300, 200, L"http://127.0.0.1:9/ad.html", 9999, kWebPopupAd);
    EXPECT_FALSE(g_bAdPopupOpen);

    ShowWebPopup(300, 200, L"http://127.0.0.1:9/ad.html", 132, kWebPopupAd);
    EXPECT_TRUE(g_bAdPopupOpen);
    EXPECT_EQ(300, g_nAdPopupWidth);
    EXPECT_EQ(200, g_nAdPopupHeight);
    ShowWebPopup(123, 45, L"http://127.0.0.1:9/news.html", 133, kWebPopupNews);
    EXPECT_TRUE(g_bNewsDlgOpen);
    EXPECT_EQ(300, g_nAdPopupWidth) << "news keeps the advertising size";

    struct Found {
        HWND ad = nullptr;
        HWND news = nullptr;
    } found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) {
            auto* out = reinterpret_cast<Found*>(param);
            auto* dialog = dynamic_cast<CWebDlg*>(CWindowImpl::FromHandle(hwnd));
            if (dialog)
                (dynamic_cast<CWebDlgForNew*>(dialog) ? out->news : out->ad) = hwnd;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    HWND ad = found.ad;
    HWND news = found.news;
    ASSERT_NE(news, nullptr);
    EXPECT_TRUE(KillTimer(news, CWebDlg::TIMER_SHOW_NEWS));
    auto* adDlg = dynamic_cast<CWebDlg*>(CWindowImpl::FromHandle(ad));
    ASSERT_NE(adDlg, nullptr);
    EXPECT_EQ(adDlg->Url(), CString(L"http://127.0.0.1:9/ad.html"));
    EXPECT_EQ(adDlg->SecondPage(), _Module.m_strAppDir + L"Local\\management\\min.html");
    EXPECT_TRUE(KillTimer(ad, CWebDlg::TIMER_SHOW_AD));
    EXPECT_FALSE(IsWindowVisible(ad));
    for (HWND hwnd : {ad, news})
        if (hwnd)
            DestroyWindow(hwnd);
    PumpPending();
    EXPECT_FALSE(g_bAdPopupOpen);
    EXPECT_FALSE(g_bNewsDlgOpen);
}

// The info request runs on a worker: the main window answers while the web
// site is slow, and the pop-up opens once the site has answered. When the
// main window is gone by then, nothing opens.
TEST_F(AdPopupTest, AnInfoRequestLeavesTheWindowAnswering)
{
    static const bool started = [] {
        StartSkinLibrary();
        return true;
    }();
    (void)started;
    CComApartment com;
    CTestServer::Instance().Reset();
    CTestServer::Instance().AddRoute(
        R"({"path": "/slowad", "stall": 4, )"
        R"("body": "success | Width=300 | Height=200 | Url=http://127.0.0.1:9/a"})");
    const CString url = CTestServer::Instance().Url("/slowad");
    EXPECT_TRUE(WindowAnswersWhileRequestRuns(
        mainWnd.m_hWnd, "/slowad", [&] { RequestWebPopupAt(mainWnd.m_hWnd, url, 132, kWebPopupAd); }));
    EXPECT_TRUE(PumpMessagesUntil([] { return g_bAdPopupOpen != FALSE; }));
    EXPECT_EQ(300, g_nAdPopupWidth);
    CloseWebDialogs();
    EXPECT_FALSE(g_bAdPopupOpen);

    CTestServer::Instance().Reset();
    CTestServer::Instance().AddRoute(
        R"({"path": "/slowad", "stall": 1, )"
        R"("body": "success | Width=300 | Height=200 | Url=http://127.0.0.1:9/a"})");
    CMenuTarget gone;
    ASSERT_TRUE(gone.CreateTop(20, 20));
    ASSERT_TRUE(RequestWebPopupAt(gone.m_hWnd, url, 132, kWebPopupAd));
    gone.DestroyWindow();
    ASSERT_TRUE(WaitForBackgroundWork(20000));
    PumpMessagesUntil([] { return false; }, 200);
    EXPECT_EQ(1u, CTestServer::Instance().Requests("/slowad").size());
    EXPECT_FALSE(g_bAdPopupOpen) << "no pop-up for a main window that has gone";
    CloseWebDialogs();
}

// A size the screen cannot show opens no window: an invisible topmost
// pop-up would hold the kind's flag for the rest of the run, so a later
// reply with a proper size still opens.
TEST_F(AdPopupTest, AReplyWithoutAVisibleSizeOpensNothing)
{
    static const bool started = [] {
        StartSkinLibrary();
        return true;
    }();
    (void)started;
    CComApartment com;
    for (const char* size : {"Width=300 | Height=0", "Width=300 | Height=-200", "Width=0 | Height=200",
                             "Width=-1 | Height=-1"}) {
        SCOPED_TRACE(size);
        CTestServer::Instance().Reset();
        CTestServer::Instance().AddRoute(std::string(R"({"path": "/ad", "body": "success | )") + size +
                                         R"( | Url=http://127.0.0.1:9/a"})");
        ASSERT_TRUE(RequestWebPopupAt(mainWnd.m_hWnd, CTestServer::Instance().Url("/ad"), 132, kWebPopupAd));
        ASSERT_TRUE(WaitForBackgroundWork(20000));
        PumpMessagesUntil([] { return false; }, 100);
        EXPECT_EQ(1u, CTestServer::Instance().Requests("/ad").size());
        EXPECT_FALSE(g_bAdPopupOpen);
        CloseWebDialogs();
    }
    CTestServer::Instance().Reset();
    CTestServer::Instance().AddRoute(
        R"({"path": "/ad", "body": "success | Width=300 | Height=200 | Url=http://127.0.0.1:9/a"})");
    ASSERT_TRUE(RequestWebPopupAt(mainWnd.m_hWnd, CTestServer::Instance().Url("/ad"), 132, kWebPopupAd));
    EXPECT_TRUE(PumpMessagesUntil([] { return g_bAdPopupOpen != FALSE; }));
    EXPECT_EQ(200, g_nAdPopupHeight);
    CloseWebDialogs();
}

// A state reply that lands after the program began to end touches nothing:
// neither the settings file of the module's folder (the module may be gone)
// nor the main window's timers. The end does not wait for the server.
TEST_F(AdPopupTest, AStateReplyAfterTheEndTouchesNothing)
{
    CTestServer::Instance().Reset();
    CTestServer::Instance().AddRoute(
        R"({"path": "/ad", "body": "success | show=1 | time=0 | a=1 | b=2 | isday=0", "stall": 2, "stall_after": 0})");
    const HWND window = mainWnd.m_hWnd;
    const CString url = Url();
    CHandle worker = StartThread([window, url] { QueryAdState(window, kAdStateStart, url); });
    ASSERT_TRUE(worker);
    ASSERT_TRUE(PumpMessagesUntil([] { return CTestServer::Instance().Requests("/ad").size() == 1; }))
        << "waiting for the state request";
    EndAdStateWork();
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(worker.Get(), 0))
        << "the end waited for the server's reply";
    // What the module holds once it is gone: here another folder.
    CTempFolder after;
    _Module.m_strAppDir = after / L"";
    MakeFolderFor(AdSettingsFile());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(worker.Get(), 30000))
        << "waiting for the worker to end";
    EXPECT_EQ(1u, CTestServer::Instance().Requests("/ad").size());
    EXPECT_FALSE(FileExists(AdSettingsFile()));
    EXPECT_FALSE(FileExists(app / L"Config\\ad.ini"));
    EXPECT_FALSE(TimerArmed(TIMER_START_POPUP));

    // The network wait ends at once with the program, with nothing marked.
    CHandle waiter = StartThread(
        [] { WaitForNetwork(L"http://127.0.0.1:9/api.php?op=ad_box&type=news&action=state", {600000}); });
    ASSERT_TRUE(waiter);
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(waiter.Get(), 20000))
        << "waiting for the network wait to end";

    ResumeAdStateWork();
    _Module.m_strAppDir = app / L"";
    Reply("success | show=1 | time=0 | a=1 | b=2 | isday=0");
    QueryAdState(mainWnd.m_hWnd, kAdStateStart, Url());
    EXPECT_TRUE(TimerArmed(TIMER_START_POPUP));
}

} // namespace
