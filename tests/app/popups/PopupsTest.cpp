// The corner pop-ups with the program's own layouts under Xvfb: placement,
// their buttons, and that each object is freed once its window is gone.
#include "app/catalog/CatalogSites.h"
#include "app/common/BackgroundWork.h"
#include "app/common/ConfigCodec.h"
#include "app/common/ScreenGeometry.h"
#include "app/install/PackageInstall.h"
#include "app/popups/GBPopSetHome.h"
#include "app/popups/GBPopups.h"
#include "app/startup/CorvaneModule.h"
#include "app/stats/UsageStats.h"
#include "skin/CorvaneMsgBox.h"
#include "skin/SkFontPool.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "tests/app/startup/RegistryHelpers.h"
#include "tests/support/ForeignNotify.h"
#include "tests/support/Picture.h"
#include "tests/support/Responsiveness.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"
#include "tools/skinsample/Screenshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

namespace {

const wchar_t kUserMain[] = L"Software\\Microsoft\\Internet Explorer\\Main\\";

void StartSkin()
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

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

template <typename T> std::vector<T*> OpenPopups()
{
    std::vector<T*> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            if (auto* popup = dynamic_cast<T*>(CWindowImpl::FromHandle(hwnd)))
                reinterpret_cast<std::vector<T*>*>(param)->push_back(popup);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The requests run on workers: waits for them and takes their replies.
void Settle()
{
    ASSERT_TRUE(WaitForBackgroundWork(20000));
    PumpMessages();
}

// Waits, pumping messages, until no object of the class is left.
template <typename T> bool AllReleased()
{
    for (int i = 0; i < 100 && T::LiveCount() != 0; ++i) {
        PumpMessages();
        Sleep(30);
    }
    return T::LiveCount() == 0;
}

void ClickItem(CSkDialogImplBase& dialog, UINT id)
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

// Message boxes that come up meanwhile are answered with OK from a timer
// inside their own loop; their texts are kept.
std::vector<CString> g_boxTexts;
void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    for (CCorvaneMsgBox* box : OpenPopups<CCorvaneMsgBox>()) {
        CSkWindow* text = box->m_view.FindItem(60006);
        g_boxTexts.push_back(text ? text->m_text : CString());
        box->EndDialog(IDOK);
    }
}

struct OfferedDelete {
    int id;
    int state;
    int kind;
};
std::vector<OfferedDelete> g_offers;
BOOL RecordOffer(int id, int state, int kind)
{
    g_offers.push_back({id, state, kind});
    return FALSE;
}

// Every WM_WINDOWPOSCHANGING of the thread's windows.
std::vector<WINDOWPOS> g_positions;
LRESULT CALLBACK RecordPositions(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGING)
        g_positions.push_back(*reinterpret_cast<const WINDOWPOS*>(call->lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Windows of this thread that no window is made for (as when the system
// runs out of window handles), or that go away as soon as they have
// initialised.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam)
{
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}
LRESULT CALLBACK DestroyAfterInit(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG)
        DestroyWindow(call->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class PopupsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartSkin();
        g_positions.clear();
        m_hook = SetWindowsHookExW(WH_CALLWNDPROC, &RecordPositions, nullptr, GetCurrentThreadId());
        CTestServer::Instance().Reset();
        m_savedAppDir = _Module.m_strAppDir;
        m_savedDownloadDir = _Module.m_strDownloadDir;
        _Module.m_strAppDir = m_folder.Path();
        _Module.m_strDownloadDir = m_folder.Path();
        MakeFolderFor(Ini());
        WriteFileBytes(Ini(), "");
        m_savedSites = GetCatalogSites();
        CatalogSites sites = m_savedSites;
        sites.webSite = CTestServer::Instance().Url("");
        SetCatalogSites(sites);
    }
    void TearDown() override
    {
        for (CGBPopups* popup : OpenPopups<CGBPopups>())
            DestroyWindow(popup->m_hWnd);
        for (CGBPopSetHome* popup : OpenPopups<CGBPopSetHome>())
            DestroyWindow(popup->m_hWnd);
        EXPECT_TRUE(AllReleased<CGBPopups>());
        EXPECT_TRUE(AllReleased<CGBPopSetHome>());
        UnhookWindowsHookEx(m_hook);
        SetCatalogSites(m_savedSites);
        _Module.m_strAppDir = m_savedAppDir;
        _Module.m_strDownloadDir = m_savedDownloadDir;
    }

    CString Ini() const { return m_folder / L"Config\\common.ini"; }
    CString Stored(const wchar_t* key) const
    {
        CString value;
        ReadConfigValue(L"Common", key, Ini(), L"<none>", 260, value);
        return value;
    }

    static void ExpectAtTheCorner(HWND hwnd)
    {
        RECT window = {};
        GetWindowRect(hwnd, &window);
        RECT corner = {};
        PopupCornerRect(corner, window);
        EXPECT_EQ(window.left, corner.left);
        EXPECT_EQ(window.top, corner.top);
        const LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
        EXPECT_FALSE(ex & WS_EX_APPWINDOW);
        // Wine shows the window but leaves out the topmost bit of a
        // SetWindowPos that also shows it; what the window was asked is seen
        // in its WM_WINDOWPOSCHANGING.
        bool placedTopmost = false;
        for (const WINDOWPOS& pos : g_positions)
            if (pos.hwnd == hwnd && pos.hwndInsertAfter == HWND_TOPMOST && pos.x == corner.left &&
                pos.y == corner.top &&
                (pos.flags & (SWP_NOSIZE | SWP_SHOWWINDOW)) == (SWP_NOSIZE | SWP_SHOWWINDOW))
                placedTopmost = true;
        EXPECT_TRUE(placedTopmost);
        EXPECT_TRUE(IsWindowVisible(hwnd));
    }

    HHOOK m_hook = nullptr;
    CTempFolder m_folder;
    CString m_savedAppDir;
    CString m_savedDownloadDir;
    CatalogSites m_savedSites;
};

TEST_F(PopupsTest, SeveralFinishedPopupsSitAtTheCornerAndGoAwayWhenClosed)
{
    ShowDownloadFinishedPopup(L"海风", 12, 1);
    ShowDownloadFinishedPopup(L"晨光", 13, 1);
    PumpMessages();
    const std::vector<CGBPopups*> popups = OpenPopups<CGBPopups>();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(CGBPopups::LiveCount(), 2);
    std::vector<CString> texts;
    for (CGBPopups* popup : popups) {
        ExpectAtTheCorner(popup->m_hWnd);
        RECT client = {};
        GetClientRect(popup->m_hWnd, &client);
        EXPECT_EQ(client.right, 281);
        EXPECT_EQ(client.bottom, 88);
        texts.push_back(popup->m_view.FindItem(60006)->m_text);
    }
    EXPECT_NE(std::find(texts.begin(), texts.end(), CString(L"海风 下载完毕！")), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), CString(L"晨光 下载完毕！")), texts.end());

    ClickItem(*popups[0], 60001);
    EXPECT_EQ(OpenPopups<CGBPopups>().size(), 1u);
    ClickItem(*popups[1], 60001);
    EXPECT_TRUE(OpenPopups<CGBPopups>().empty());
    EXPECT_TRUE(AllReleased<CGBPopups>());
}

// WM_NOTIFY from another thread or posted, to the pop-up and to its view:
// a readable block that looks like a click on the close button, a freed
// block and 0x10. The pop-up stays and still closes at a real click.
TEST_F(PopupsTest, ForeignNotificationsAreIgnoredAndTheCloseButtonStillWorks)
{
    ShowDownloadFinishedPopup(L"海风", 12, 1);
    const std::vector<CGBPopups*> popups = OpenPopups<CGBPopups>();
    ASSERT_EQ(popups.size(), 1u);
    CGBPopups& popup = *popups[0];
    auto click = std::make_unique<SkItemClickNotify>();
    click->hdr = {popup.m_view.m_hWnd, IDC_SKIN_VIEW, SKN_ITEM_CLICK};
    click->itemId = 60001;
    click->itemClass = "imgbtn";
    const LPARAM blocks[] = {reinterpret_cast<LPARAM>(click.get()), FreedBlockAddress(), 0x10};
    for (HWND target : {popup.m_hWnd, popup.m_view.m_hWnd}) {
        for (LPARAM block : blocks) {
            EXPECT_TRUE(SendNotifyFromAnotherThread(target, IDC_SKIN_VIEW, block));
            PostNotify(target, IDC_SKIN_VIEW, block);
            ASSERT_EQ(OpenPopups<CGBPopups>().size(), 1u) << "a foreign record closed the pop-up";
        }
    }
    ClickItem(popup, 60001);
    EXPECT_TRUE(OpenPopups<CGBPopups>().empty());
}

// What the contrast checks below count as a mark: a stray pixel or two in
// an undrawn area is none, a drawn stroke is.
TEST(PictureContrast, AStrayPixelIsNoMarkAndAStrokeIs)
{
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    std::vector<COLORREF> area(20 * 20, white);
    area[7] = black;
    area[300] = black;
    EXPECT_LT(MostContrastAgainst(area, white), 1.01) << "two stray pixels";
    EXPECT_LT(ContrastWithin(area), 1.01) << "two stray pixels";
    for (int i = 0; i < 20; ++i)
        area[i * 20 + i] = black; // a diagonal stroke: 5 % of the area
    EXPECT_GT(MostContrastAgainst(area, white), 20.0);
    EXPECT_GT(ContrastWithin(area), 20.0);
}

// The close button must be seen: the picture of the pop-up shows, inside the
// button, pixels that stand out from the white body (the band the button
// sits on) and pixels that stand out from those (its cross).
TEST_F(PopupsTest, TheFinishedPopupsCloseButtonStandsOutFromTheBody)
{
    ShowDownloadFinishedPopup(L"海风", 12, 1);
    const std::vector<CGBPopups*> popups = OpenPopups<CGBPopups>();
    ASSERT_EQ(popups.size(), 1u);
    CGBPopups& popup = *popups[0];
    CPicture picture;
    ASSERT_TRUE(TakePrintedPicture(popup.m_view.m_hWnd, picture));
    ASSERT_EQ(picture.width, 281);
    ASSERT_EQ(picture.height, 88);

    CSkWindow* button = popup.m_view.FindItem(60001);
    ASSERT_NE(button, nullptr);
    const RECT area = button->m_rect;
    ASSERT_GT(area.right - area.left, 10);
    ASSERT_GT(area.bottom - area.top, 10);
    // The body's own colour: below the text, left of the apply button.
    const COLORREF body = picture.At(150, 50);
    const std::vector<COLORREF> inside = picture.Area(area);
    EXPECT_GE(MostContrastAgainst(inside, body), 3.0) << "the button is lost in the body";
    EXPECT_GE(ContrastWithin(inside), 3.0) << "the button shows no cross";
    EXPECT_EQ(popup.m_view.FindItem(60006)->m_text, L"海风 下载完毕！");
    EXPECT_TRUE(SavePrintedWindow(popup.m_view.m_hWnd, RAVONYX_SCREENSHOT_DIR L"/popup-finished.png"));
}

TEST_F(PopupsTest, NoMoreNoticeIsWrittenAtEachClick)
{
    ASSERT_NE(WriteConfigValue(L"Common", L"AlertDown", L"1", Ini()), 0);
    _Module.m_nAlertDown = 1;
    ShowDownloadFinishedPopup(L"海风", 12, 1);
    const std::vector<CGBPopups*> popups = OpenPopups<CGBPopups>();
    ASSERT_EQ(popups.size(), 1u);
    const struct {
        const wchar_t* stored;
        int module;
    } afterClicks[] = {{L"0", 0}, {L"1", 1}, {L"0", 0}};
    for (const auto& after : afterClicks) {
        ClickItem(*popups[0], 60007);
        EXPECT_EQ(Stored(L"AlertDown"), CString(after.stored));
        EXPECT_EQ(_Module.m_nAlertDown, after.module);
        EXPECT_TRUE(IsWindow(popups[0]->m_hWnd)) << "the pop-up stays open";
    }
}

TEST_F(PopupsTest, ApplyRunsTheItemAndCloses)
{
    // No package in the download folder: the installation says so and
    // offers to delete the item, which shows the id and kind it was given.
    g_offers.clear();
    g_boxTexts.clear();
    const DeleteOffer savedOffer = g_offerDelete;
    g_offerDelete = &RecordOffer;
    ShowDownloadFinishedPopup(L"海风", 42, 1);
    const std::vector<CGBPopups*> popups = OpenPopups<CGBPopups>();
    ASSERT_EQ(popups.size(), 1u);
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &AnswerBoxes);
    ClickItem(*popups[0], 60005);
    KillTimer(nullptr, timer);
    g_offerDelete = savedOffer;
    ASSERT_EQ(g_offers.size(), 1u);
    EXPECT_EQ(g_offers[0].id, 42);
    EXPECT_EQ(g_offers[0].state, 2);
    EXPECT_EQ(g_offers[0].kind, 1);
    EXPECT_EQ(g_boxTexts.size(), 1u);
    EXPECT_TRUE(OpenPopups<CGBPopups>().empty());
    EXPECT_TRUE(AllReleased<CGBPopups>());
}

// A pop-up that gets no window, or loses it while it is made, is freed
// there and then: nothing is left behind for a window that never closes.
TEST_F(PopupsTest, APopupWithoutAWindowIsFreed)
{
    struct Case {
        const char* name;
        int hookType;
        HOOKPROC hook;
    };
    const Case cases[] = {
        {"no window made", WH_CBT, &RefuseWindows},
        {"the window went away while made", WH_CALLWNDPROCRET, &DestroyAfterInit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HHOOK hook = SetWindowsHookExW(c.hookType, c.hook, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        ShowDownloadFinishedPopup(L"海风", 12, 1);
        ShowSetHomePopup();
        UnhookWindowsHookEx(hook);
        EXPECT_TRUE(OpenPopups<CGBPopups>().empty());
        EXPECT_TRUE(OpenPopups<CGBPopSetHome>().empty());
        EXPECT_EQ(CGBPopups::LiveCount(), 0);
        EXPECT_EQ(CGBPopSetHome::LiveCount(), 0);
    }
}

TEST(FinishedPopupItem, KeptOnlyWithANameAndAPositiveId)
{
    const struct {
        const wchar_t* name;
        int gid;
        int kind;
        int gidAfter;
        int kindAfter;
    } rows[] = {{L"海风", 5, 2, 5, 2}, {L"", 5, 2, 0, 0}, {L"海风", 0, 2, 0, 0}, {L"海风", -3, 1, 0, 0}};
    for (const auto& row : rows) {
        CGBPopups popup(row.name, row.gid, row.kind);
        EXPECT_EQ(popup.m_gid, row.gidAfter);
        EXPECT_EQ(popup.m_kind, row.kindAfter);
    }
}

class SetHomeTest : public PopupsTest {
protected:
    void SetUp() override
    {
        PopupsTest::SetUp();
        m_hadUserPage =
            ReadRegString(HKEY_CURRENT_USER, kUserMain, L"Start Page", m_userPage) == ERROR_SUCCESS;
        // A week has passed since the last check.
        ASSERT_NE(WriteConfigValue(L"Common", L"InstallDate", L"2001|1|1", Ini()), 0);
        ASSERT_NE(WriteConfigValue(L"Common", L"CheckHomeDate", L"2001|1|1", Ini()), 0);
        CTestServer::Instance().AddRoute(
            R"({"path": "/api.php?op=gethome_box&act=gethome", )"
            R"("body": "success | _start:http://nav.example/::0,http://x.example/::1"})");
    }
    void TearDown() override
    {
        if (m_hadUserPage)
            SetUserPage(m_userPage);
        PopupsTest::TearDown();
    }
    static void SetUserPage(const CString& page)
    {
        ASSERT_EQ(SetRegValue(HKEY_CURRENT_USER, kUserMain, L"Start Page", REG_SZ, page.GetString(),
                              static_cast<DWORD>((page.GetLength() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    static CString UserPage()
    {
        CString page;
        ReadRegString(HKEY_CURRENT_USER, kUserMain, L"Start Page", page);
        return page;
    }

    bool m_hadUserPage = false;
    CString m_userPage;
};

TEST_F(SetHomeTest, ReminderShowsOnlyWhenThePageIsNotOurs)
{
    SetUserPage(L"http://x.example/home");
    RemindSetHomePage(nullptr);
    Settle();
    EXPECT_TRUE(OpenPopups<CGBPopSetHome>().empty());
    EXPECT_NE(Stored(L"CheckHomeDate"), L"2001|1|1");

    ASSERT_NE(WriteConfigValue(L"Common", L"CheckHomeDate", L"2001|1|1", Ini()), 0);
    SetUserPage(L"http://elsewhere.example/");
    RemindSetHomePage(nullptr);
    Settle();
    const std::vector<CGBPopSetHome*> popups = OpenPopups<CGBPopSetHome>();
    ASSERT_EQ(popups.size(), 1u);
    ExpectAtTheCorner(popups[0]->m_hWnd);
    RECT client = {};
    GetClientRect(popups[0]->m_hWnd, &client);
    EXPECT_EQ(client.right, 271);
    EXPECT_EQ(client.bottom, 142);

    ClickItem(*popups[0], 60005);
    EXPECT_TRUE(OpenPopups<CGBPopSetHome>().empty());
    Settle();
    EXPECT_EQ(UserPage(), L"http://nav.example/");
    EXPECT_TRUE(AllReleased<CGBPopSetHome>());
}

TEST_F(SetHomeTest, NoLeavesThePageAlone)
{
    SetUserPage(L"http://elsewhere.example/");
    RemindSetHomePage(nullptr);
    Settle();
    const std::vector<CGBPopSetHome*> popups = OpenPopups<CGBPopSetHome>();
    ASSERT_EQ(popups.size(), 1u);
    ClickItem(*popups[0], 60006);
    EXPECT_EQ(UserPage(), L"http://elsewhere.example/");
    EXPECT_TRUE(OpenPopups<CGBPopSetHome>().empty());
    EXPECT_TRUE(AllReleased<CGBPopSetHome>());
}

// "确定" with a slow web site: the pop-up goes at once and the window keeps
// answering; the page is written once the site has answered.
TEST_F(SetHomeTest, YesWithASlowSiteClosesAtOnceAndWritesLater)
{
    SetUserPage(L"http://elsewhere.example/");
    RemindSetHomePage(nullptr);
    Settle();
    const std::vector<CGBPopSetHome*> popups = OpenPopups<CGBPopSetHome>();
    ASSERT_EQ(popups.size(), 1u);
    HWND window =
        CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    CTestServer::Instance().Reset();
    CTestServer::Instance().AddRoute(R"({"path": "/api.php?op=gethome_box&act=gethome", "stall": 4, )"
                                     R"("body": "success | _start:http://late.example/::0"})");
    EXPECT_TRUE(WindowAnswersWhileRequestRuns(window, "/api.php", [&] { ClickItem(*popups[0], 60005); }));
    EXPECT_TRUE(OpenPopups<CGBPopSetHome>().empty());
    Settle();
    EXPECT_EQ(UserPage(), L"http://late.example/");
    DestroyWindow(window);
}

} // namespace
