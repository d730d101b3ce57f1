// The main window's pages in process: where the tab strip, the left menu's
// links, WM_SHOW_TAB_PAGE and WM_LIST_NAVIGATE send its two browsers, as the
// real controls of the real main window are told to go.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/browser/BrowserExternal.h"
#include "app/browser/WebBrowserEventSink.h"
#include "app/common/ServerAddresses.h"
#include "app/mainwnd/MainDlg.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/RunApplication.h"
#include "base/NotifyRecord.h"
#include "skin/SkTabCtrl.h"
#include "tests/app/browser/BrowserTestSupport.h"
#include "tests/app/browser/MainWindowPagesTest.h"
#include "tests/app/browser/NavigationRecorder.h"
#include "tests/support/TempFolder.h"

namespace {

using Addresses = std::vector<std::wstring>;

} // namespace

class TabNavigationTest : public CMainWindowPagesTest {
protected:
    void SetUp() override { OpenMainWindow(); }

    CString Local(const wchar_t* page) const { return m_temp / page; }
};

TEST_F(TabNavigationTest, PageAreasHostTheBrowsersAndTheContentPageGetsTheCatalogueObject)
{
    const struct {
        CUiHtmlContainerWindow* browser;
        UINT id;
    } areas[] = {{&m_dlg->m_menuBrowser, IDC_MENU_BROWSER}, {&m_dlg->m_contentBrowser, IDC_CONTENT_BROWSER}};
    for (const auto& area : areas) {
        SCOPED_TRACE(area.id);
        EXPECT_EQ(GetDlgItem(m_dlg->m_view.m_hWnd, static_cast<int>(area.id)), area.browser->m_hWnd);
        EXPECT_EQ(GetWindowLongPtrW(area.browser->m_hWnd, GWL_STYLE) & (WS_CHILD | WS_VISIBLE),
                  WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(area.browser->BackgroundColor(), static_cast<COLORREF>(0xFDFCFB));
        EXPECT_EQ(GetDlgCtrlID(area.browser->BrowserWindow()), 6);
        EXPECT_TRUE(area.browser->Browser());
        RECT rect;
        GetClientRect(area.browser->m_hWnd, &rect);
        EXPECT_GT(rect.right, 100) << "placed by the layout";
        EXPECT_GT(rect.bottom, 100);
    }
    EXPECT_EQ(m_dlg->m_contentBrowser.HostWindow().ExternalDispatch(),
              static_cast<IDispatch*>(&CBrowserExternal::Instance()));
    EXPECT_EQ(m_dlg->m_menuBrowser.HostWindow().ExternalDispatch(), nullptr);
    EXPECT_EQ(CBrowserExternal::Instance().OwnerWindow(), m_dlg->m_hWnd);

    // The start selects "推荐主题".
    EXPECT_EQ(SelectedTab(), 1);
    EXPECT_EQ(m_dlg->m_strContentUrl, RAVONYX_CONTENT_SITE L"zhuti/");

    // Once the window goes, page calls no longer reach it.
    DestroyWindow(m_dlg->m_hWnd);
    EXPECT_EQ(CBrowserExternal::Instance().OwnerWindow(), nullptr);
}

class StartPagesTest : public CMainWindowPagesTest {
protected:
    void SetUp() override { OpenMainWindow(false); }
};

// The page areas show their waiting text from the first paint; the browser
// controls and the view's tooltip come after it, and the browsers load the
// pages of the tab chosen at the start.
TEST_F(StartPagesTest, BrowsersAndTooltipComeAfterTheFirstPaint)
{
    const CString menuUrl = RAVONYX_CONTENT_SITE L"index.html?action=1";
    const CString contentUrl = RAVONYX_CONTENT_SITE L"zhuti/";
    HWND main = m_dlg->m_hWnd;
    CUiHtmlContainerWindow* areas[] = {&m_dlg->m_menuBrowser, &m_dlg->m_contentBrowser};
    for (CUiHtmlContainerWindow* area : areas) {
        EXPECT_NE(GetWindowLongPtrW(area->m_hWnd, GWL_STYLE) & WS_VISIBLE, 0);
        EXPECT_EQ(area->BrowserWindow(), nullptr) << "no control before the first paint";
    }
    EXPECT_EQ(m_dlg->m_view.m_tooltip, nullptr) << "no tooltip before the first paint";
    EXPECT_EQ(SelectedTab(), 1);
    EXPECT_EQ(m_dlg->m_menuBrowser.Url(), menuUrl);
    EXPECT_EQ(m_dlg->m_contentBrowser.Url(), contentUrl);
    EXPECT_EQ(m_dlg->m_strContentUrl, contentUrl);

    // The window is shown as the modal run shows it; its own messages run
    // until the timer's. Each paint notes whether its window's control was
    // still to come when it was painted.
    SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    bool timerCame = false;
    std::set<HWND> paintedBefore;
    const auto noteThePaint = [&](HWND window) {
        if (window == main && m_dlg->m_view.m_tooltip == nullptr)
            paintedBefore.insert(main);
        for (CUiHtmlContainerWindow* area : areas)
            if (window == area->m_hWnd && area->BrowserWindow() == nullptr)
                paintedBefore.insert(window);
    };
    const ULONGLONG end = GetTickCount64() + 30000;
    while (!timerCame && GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (!timerCame && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == main && msg.wParam == TIMER_AFTER_FIRST_PAINT)
                timerCame = true;
            else if (msg.message == WM_PAINT)
                noteThePaint(msg.hwnd);
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    ASSERT_TRUE(timerCame) << "no TIMER_AFTER_FIRST_PAINT within 30 s of the show";
    EXPECT_EQ(paintedBefore.count(main), 1u) << "the window was painted before its tooltip came";
    for (CUiHtmlContainerWindow* area : areas)
        EXPECT_EQ(paintedBefore.count(area->m_hWnd), 1u)
            << "the page area was painted before its control came";

    for (CUiHtmlContainerWindow* area : areas) {
        EXPECT_EQ(GetDlgCtrlID(area->BrowserWindow()), 6);
        EXPECT_TRUE(area->Browser());
    }
    EXPECT_EQ(m_dlg->m_contentBrowser.HostWindow().ExternalDispatch(),
              static_cast<IDispatch*>(&CBrowserExternal::Instance()));
    ASSERT_TRUE(IsWindow(m_dlg->m_view.m_tooltip));
    EXPECT_EQ(GetWindow(m_dlg->m_view.m_tooltip, GW_OWNER), main) << "the view's, owned by its window";
    // The real control went to the content address (its own BeforeNavigate2)
    // and, as the menu address fails here, to the menu's error page.
    EXPECT_TRUE(PumpUntil([&] { return m_dlg->m_contentBrowser.CurUrl() == contentUrl; }));
    EXPECT_TRUE(PumpUntil([&] { return m_dlg->m_menuBrowser.NavigationFailed(); }));
    EXPECT_EQ(m_dlg->m_menuBrowser.Url(), menuUrl);

    // The step runs once, whoever sends its timer again.
    const HWND menuControl = m_dlg->m_menuBrowser.BrowserWindow();
    SendMessageW(main, WM_TIMER, TIMER_AFTER_FIRST_PAINT, 0);
    EXPECT_EQ(m_dlg->m_menuBrowser.BrowserWindow(), menuControl);
}

TEST_F(TabNavigationTest, EachTabSendsBothBrowsersToItsAddresses)
{
    const struct {
        int index;
        CString menu;
        CString content;
        int selectedAfter; // the sub-lists bring the strip back to "我的下载"
    } table[] = {
        {0, Local(L"Local\\list\\menumanage.html?action=0"),
         Local(L"Local\\management\\mythemes.html?item=1"), 0},
        {1, RAVONYX_CONTENT_SITE L"index.html?action=1", RAVONYX_CONTENT_SITE L"zhuti/", 1},
        {2, RAVONYX_CONTENT_SITE L"index.html?action=2", RAVONYX_CONTENT_SITE L"bizhi/", 2},
        {3, RAVONYX_CONTENT_SITE L"index.html?action=3", RAVONYX_CONTENT_SITE L"ad/webgame.html", 3},
        {11, Local(L"Local\\list\\menumanage.html?action=1"),
         Local(L"Local\\management\\mythemes.html?item=2"), 0},
        {12, Local(L"Local\\list\\menumanage.html?action=2"),
         Local(L"Local\\management\\myimages.html?item=1"), 0},
        {13, Local(L"Local\\list\\menumanage.html?action=3"),
         Local(L"Local\\management\\myimages.html?item=2"), 0},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.index);
        Forget();
        SelectTab(row.index);
        EXPECT_EQ(Sent(m_menu), Addresses{Text(row.menu)});
        EXPECT_EQ(Sent(m_content), Addresses{Text(row.content)});
        EXPECT_EQ(m_dlg->m_strContentUrl, row.content);
        EXPECT_EQ(m_dlg->m_menuBrowser.ErrorPage(), m_dlg->m_strLeftPage);
        EXPECT_EQ(m_dlg->m_contentBrowser.ErrorPage(), m_dlg->m_strErrorPage);
        EXPECT_EQ(SelectedTab(), row.selectedAfter);
        EXPECT_EQ(m_dlg->m_bSkipTabNavigation, 0);
    }
}

// The local pages are missing from the test's program folder: each browser
// falls back to its own error page.
TEST_F(TabNavigationTest, FailedPagesFallBackToEachBrowsersErrorPage)
{
    Forget();
    SelectTab(0);
    auto fallbacks = [](const CNavigationRecorder& recorder) {
        Addresses urls;
        for (const Navigation& navigation : recorder.seen)
            urls.push_back(navigation.url);
        return urls;
    };
    EXPECT_EQ(fallbacks(m_menu),
              (Addresses{L"about:blank", Text(Local(L"Local\\list\\menumanage.html?action=0")),
                         Text(Local(L"Local\\management\\left.html"))}));
    EXPECT_EQ(fallbacks(m_content),
              (Addresses{L"about:blank", Text(Local(L"Local\\management\\mythemes.html?item=1")),
                         Text(Local(L"Local\\management\\error.html"))}));
}

TEST_F(TabNavigationTest, OtherIndexesNavigateNothingAndAllowTheChange)
{
    SelectTab(2);
    for (int index : {4, 5, 10, 14, 100, -1}) {
        SCOPED_TRACE(index);
        Forget();
        SkTabChangeNotify change = {};
        change.hdr.hwndFrom = m_dlg->m_view.m_hWnd;
        change.hdr.idFrom = IDC_SKIN_VIEW;
        change.hdr.code = SKN_TAB_CHANGING;
        change.tabCtrlId = IDC_MAIN_TABS;
        change.newSel = index;
        change.oldSel = 2;
        SendNotifyRecord(m_dlg->m_hWnd, IDC_SKIN_VIEW, change);
        Settle();
        EXPECT_FALSE(change.cancel);
        EXPECT_TRUE(m_menu.seen.empty());
        EXPECT_TRUE(m_content.seen.empty());
        EXPECT_EQ(m_dlg->m_strContentUrl, RAVONYX_CONTENT_SITE L"bizhi/");
        EXPECT_EQ(m_dlg->m_bSkipTabNavigation, 0);
    }
}

TEST_F(TabNavigationTest, TabZeroRightAfterASubListNavigatesNothingOnce)
{
    Forget();
    EXPECT_EQ(m_dlg->SwitchTab(12), 1);
    EXPECT_EQ(m_dlg->m_bSkipTabNavigation, 1);
    EXPECT_EQ(m_dlg->SwitchTab(0), 1);
    EXPECT_EQ(m_dlg->m_bSkipTabNavigation, 0);
    // The posted selection of tab 0 now loads "我的下载" again.
    Settle();
    EXPECT_EQ(SelectedTab(), 0);
    EXPECT_EQ(Sent(m_menu), (Addresses{Text(Local(L"Local\\list\\menumanage.html?action=2")),
                                       Text(Local(L"Local\\list\\menumanage.html?action=0"))}));
    EXPECT_EQ(Sent(m_content), (Addresses{Text(Local(L"Local\\management\\myimages.html?item=1")),
                                          Text(Local(L"Local\\management\\mythemes.html?item=1"))}));
    EXPECT_EQ(m_dlg->m_strContentUrl, Local(L"Local\\management\\mythemes.html?item=1"));

    // A switch to another tab leaves the flag for the next tab 0.
    Forget();
    m_dlg->SwitchTab(13);
    m_dlg->SwitchTab(1);
    EXPECT_EQ(m_dlg->m_bSkipTabNavigation, 1);
    Settle();
    EXPECT_EQ(m_dlg->m_bSkipTabNavigation, 0);
    EXPECT_EQ(Sent(m_content), (Addresses{Text(Local(L"Local\\management\\myimages.html?item=2")),
                                          RAVONYX_CONTENT_SITE L"zhuti/"}));
}

// A page link of the left menu, as its control is asked to follow it.
TEST_F(TabNavigationTest, MenuLinksSelectATabOrOpenAContentPage)
{
    const CString menuPage = Local(L"Local\\list\\menumanage.html");
    const struct {
        CString link;
        int selected;
        Addresses menu;
        Addresses content;
        CString contentUrl;
    } table[] = {
        {RAVONYX_CONTENT_SITE L"index.html?item=2",
         2,
         {RAVONYX_CONTENT_SITE L"index.html?action=2"},
         {RAVONYX_CONTENT_SITE L"bizhi/"},
         RAVONYX_CONTENT_SITE L"bizhi/"},
        // Not a tab: a page of the content site; the tab and the tab's address stay.
        {RAVONYX_CONTENT_SITE L"index.html?item=zhuti/5",
         2,
         {},
         {RAVONYX_CONTENT_SITE L"zhuti/5/"},
         RAVONYX_CONTENT_SITE L"bizhi/"},
        {RAVONYX_CONTENT_SITE L"index.html?item=2x",
         2,
         {},
         {RAVONYX_CONTENT_SITE L"2x/"},
         RAVONYX_CONTENT_SITE L"bizhi/"},
        // A sub-list of "我的下载": the strip comes back to tab 0 without loading it.
        {menuPage + L"?item=12",
         0,
         {Text(Local(L"Local\\list\\menumanage.html?action=2"))},
         {Text(Local(L"Local\\management\\myimages.html?item=1"))},
         Local(L"Local\\management\\myimages.html?item=1")},
        {menuPage + L"?item=3&item=1",
         0,
         {},
         {RAVONYX_CONTENT_SITE L"3&item=1/"},
         Local(L"Local\\management\\myimages.html?item=1")},
    };
    SelectTab(1);
    for (const auto& row : table) {
        SCOPED_TRACE(Text(row.link).c_str());
        Forget();
        CComVariant none;
        ASSERT_EQ(S_OK,
                  m_dlg->m_menuBrowser.Browser()->Navigate(CComBSTR(row.link), &none, &none, &none, &none));
        Settle();
        EXPECT_EQ(SelectedTab(), row.selected);
        EXPECT_EQ(Sent(m_menu), row.menu);
        EXPECT_EQ(Sent(m_content), row.content);
        EXPECT_EQ(m_dlg->m_strContentUrl, row.contentUrl);
        EXPECT_EQ(m_dlg->m_contentBrowser.ErrorPage(), m_dlg->m_strErrorPage);
    }

    // Nothing to read, or no link of the menu's kind: nothing happens.
    Forget();
    EXPECT_EQ(SendMessageW(m_dlg->m_hWnd, WM_MENU_NAVIGATE, 0, 0), 0);
    const CString plain = RAVONYX_CONTENT_SITE L"index.html?action=2";
    EXPECT_EQ(SendMarked(m_dlg->m_hWnd, WM_MENU_NAVIGATE, kMenuLinkKind, plain.GetString()), 0);
    Settle();
    EXPECT_TRUE(m_menu.seen.empty());
    EXPECT_TRUE(m_content.seen.empty());
}

TEST_F(TabNavigationTest, ShowTabPageSelectsTheTabThenOpensTheNumberedPage)
{
    ShowWindow(m_dlg->m_hWnd, SW_HIDE);
    Forget();
    EXPECT_EQ(SendMessageW(m_dlg->m_hWnd, WM_SHOW_TAB_PAGE, 2, 3), 0);
    Settle();
    EXPECT_EQ(SelectedTab(), 2);
    EXPECT_EQ(Sent(m_menu), Addresses{RAVONYX_CONTENT_SITE L"index.html?action=2"});
    EXPECT_EQ(Sent(m_content), (Addresses{RAVONYX_CONTENT_SITE L"bizhi/", RAVONYX_CONTENT_SITE L"3.html"}));
    EXPECT_EQ(m_dlg->m_strContentUrl, RAVONYX_CONTENT_SITE L"bizhi/");
    EXPECT_EQ(m_dlg->m_contentBrowser.ErrorPage(), m_dlg->m_strErrorPage);
    EXPECT_TRUE(IsWindowVisible(m_dlg->m_hWnd));

    const struct {
        WPARAM tab;
        LPARAM page;
    } refused[] = {{3, 0}, {3, -4}, {0, 3}, {static_cast<WPARAM>(-1), 3}};
    for (const auto& request : refused) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(request.tab) << " " << request.page);
        ShowWindow(m_dlg->m_hWnd, SW_HIDE);
        Forget();
        EXPECT_EQ(SendMessageW(m_dlg->m_hWnd, WM_SHOW_TAB_PAGE, request.tab, request.page), 1);
        Settle();
        EXPECT_EQ(SelectedTab(), 2);
        EXPECT_TRUE(m_menu.seen.empty());
        EXPECT_TRUE(m_content.seen.empty());
        EXPECT_FALSE(IsWindowVisible(m_dlg->m_hWnd));
    }
}

TEST_F(TabNavigationTest, ListNavigationTakesOnlyBlocksThisWindowPosted)
{
    const char form[] = "keyword=sky";
    SAFEARRAY* post = SafeArrayCreateVector(VT_UI1, 0, sizeof(form) - 1);
    void* data = nullptr;
    ASSERT_EQ(S_OK, SafeArrayAccessData(post, &data));
    memcpy(data, form, sizeof(form) - 1);
    SafeArrayUnaccessData(post);

    auto request = std::make_unique<ListNavigateRequest>();
    request->url = RAVONYX_CONTENT_SITE L"search.html";
    request->flags = CComVariant(0);
    request->postData.vt = VT_ARRAY | VT_UI1;
    request->postData.parray = post;
    request->headers = CComVariant(L"Content-Type: application/x-www-form-urlencoded\r\n");
    Forget();
    ASSERT_TRUE(m_dlg->PostListNavigate(std::move(request)));
    Settle();
    ASSERT_EQ(Sent(m_content), Addresses{RAVONYX_CONTENT_SITE L"search.html"});
    const Navigation* sent = nullptr;
    for (const Navigation& navigation : m_content.seen) {
        if (navigation.url == RAVONYX_CONTENT_SITE L"search.html")
            sent = &navigation;
    }
    ASSERT_NE(sent, nullptr);
    // Wine's control hands on as many bytes as were posted, but not the bytes themselves.
    EXPECT_EQ(sent->postData.size(), sizeof(form) - 1);
    EXPECT_EQ(sent->headers, L"Content-Type: application/x-www-form-urlencoded\r\n");
    EXPECT_TRUE(m_menu.seen.empty());
    EXPECT_EQ(m_dlg->m_contentBrowser.ErrorPage(), m_dlg->m_strErrorPage);
    EXPECT_EQ(m_dlg->m_strContentUrl, RAVONYX_CONTENT_SITE L"zhuti/") << "only tabs change it";

    // A block this window did not post is neither read nor freed.
    ListNavigateRequest foreign;
    foreign.url = RAVONYX_CONTENT_SITE L"foreign.html";
    Forget();
    EXPECT_EQ(SendMessageW(m_dlg->m_hWnd, WM_LIST_NAVIGATE, reinterpret_cast<WPARAM>(&foreign), 0), 0);
    EXPECT_EQ(SendMessageW(m_dlg->m_hWnd, WM_LIST_NAVIGATE, 0, 0), 0);
    Settle();
    EXPECT_TRUE(m_content.seen.empty());
    EXPECT_EQ(foreign.url, RAVONYX_CONTENT_SITE L"foreign.html");
}
