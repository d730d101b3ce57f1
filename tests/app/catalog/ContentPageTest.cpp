// The content page's requests to the main window, through the script object
// as a page makes them: item pages opened under their tab, back, reload,
// tabs and searches, as the real main window's two browser controls are told
// to go. Item records come from the test server; boxes are answered here.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/browser/BrowserExternal.h"
#include "app/catalog/CatalogSites.h"
#include "app/common/ServerAddresses.h"
#include "app/mainwnd/MainDlg.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/RunApplication.h"
#include "skin/SkTabCtrl.h"
#include "tests/app/browser/BrowserTestSupport.h"
#include "tests/app/browser/MainWindowPagesTest.h"
#include "tests/app/browser/NavigationRecorder.h"
#include "tests/app/browser/ScriptCall.h"
#include "tests/app/catalog/BoxAnswers.h"
#include "tests/app/catalog/PageHandlers.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

namespace {

using Addresses = std::vector<std::wstring>;

// How many requests the server saw for the target (path and query).
size_t RequestsFor(const std::string& target)
{
    size_t count = 0;
    for (const std::string& raw : CTestServer::Instance().Requests())
        count += raw.compare(0, raw.find('\n'), "GET " + target + " HTTP/1.1\r") == 0 ? 1 : 0;
    return count;
}

void RouteItem(const std::string& id, const std::string& reply)
{
    CTestServer::Instance().AddRoute("{\"path\": \"/api.php?op=getinfo_box&gid=" + id + "\", \"body\": \"" +
                                     reply + "\"}");
}

class ContentPageTest : public CMainWindowPagesTest {
protected:
    void SetUp() override
    {
        server.Reset();
        // The item records come from the test server; the pages are the
        // content site's, as the tabs name them.
        SetCatalogSites({server.Url(""), RAVONYX_CONTENT_SITE, RAVONYX_DOWNLOAD_SITE});
        OpenMainWindow();
        // The calls come from a page of the content site.
        CBrowserExternal::Instance().SetOwner(m_dlg->m_hWnd, &handlers);
    }

    // A page's call of a script method, then the navigations it caused.
    void CallPage(const wchar_t* method, std::initializer_list<CComVariant> args)
    {
        IDispatch& external = CBrowserExternal::Instance();
        CComVariant result;
        EXPECT_EQ(S_OK,
                  CScriptCall(args).Invoke(external, DispIdOf(external, method), DISPATCH_METHOD, &result));
        EXPECT_EQ(VT_EMPTY, result.vt);
        Settle();
    }
    // Sends the content browser to two addresses in turn.
    void Visit(const CString& first, const CString& second)
    {
        m_dlg->m_contentBrowser.Navigate(first);
        Settle();
        m_dlg->m_contentBrowser.Navigate(second);
        Settle();
    }

    CTestServer& server = CTestServer::Instance();
    CPageHandlers handlers{CString(RAVONYX_CONTENT_SITE) + L"zhuti/"};
};

const CString kSite = RAVONYX_CONTENT_SITE;

TEST_F(ContentPageTest, ItemPagesOpenUnderTheirTab)
{
    RouteItem("101", "success | gamename:蓝色 | contenturl:zhuti/101.html | imagepath:/i.jpg | gamepath:p | "
                     "jsons:{}");
    RouteItem("201", "success | gamename:山 | contenturl:bizhi/201.html");
    RouteItem("901", "fail | gamename:x | contenturl:zhuti/901.html");
    RouteItem("902", "success | gamename:x");
    RouteItem("903", "success");
    // Longer than the request reads: the address would come through whole,
    // but the record is cut.
    RouteItem("904", "success | gamename:x | contenturl:zhuti/904.html | " + std::string(2000, 'j'));
    const struct {
        const wchar_t* id;
        const wchar_t* type;
        int selected;
        Addresses menu;
        Addresses content;
        const wchar_t* text; // the box shown, if any
        const wchar_t* caption;
    } cases[] = {
        {L"101",
         L"theme",
         1,
         {Text(kSite + L"index.html?action=1")},
         {Text(kSite + L"zhuti/"), Text(kSite + L"zhuti/101.html")},
         nullptr,
         nullptr},
        {L"201",
         L"bizhi",
         2,
         {Text(kSite + L"index.html?action=2")},
         {Text(kSite + L"bizhi/"), Text(kSite + L"bizhi/201.html")},
         nullptr,
         nullptr},
        {L"101", L"game", 3, {}, {}, L"由于未知原因，此页面无法打开！", L"打开失败"},
        {L"101", L"Theme", 3, {}, {}, L"由于未知原因，此页面无法打开！", L"打开失败"},
        {L"901", L"theme", 3, {}, {}, L"由于网络故障等原因，此页面无法打开！", L"打开失败"},
        {L"902", L"theme", 3, {}, {}, L"由于网络故障等原因，此页面无法打开！", L"打开失败"},
        {L"903", L"bizhi", 3, {}, {}, L"由于网络故障等原因，此页面无法打开！", L"打开失败"},
        {L"904", L"theme", 3, {}, {}, L"无法连接服务器，请检查您的网络！", L"错误信息"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << CString(c.id).ToAnsi() << " " << CString(c.type).ToAnsi());
        SelectTab(3);
        Forget();
        CBoxAnswers boxes(c.text ? std::deque<UINT>{IDOK} : std::deque<UINT>{});
        CallPage(L"Ex_OpenContentPage", {c.id, c.type});
        EXPECT_EQ(c.selected, SelectedTab());
        EXPECT_EQ(c.menu, Sent(m_menu));
        EXPECT_EQ(c.content, Sent(m_content));
        EXPECT_EQ(m_dlg->m_strErrorPage, m_dlg->m_contentBrowser.ErrorPage());
        ASSERT_EQ(c.text ? 1u : 0u, boxes.shown.size());
        if (c.text) {
            EXPECT_EQ(c.text, boxes.shown[0].text);
            EXPECT_EQ(c.caption, boxes.shown[0].caption);
            EXPECT_EQ(0u, boxes.shown[0].type);
        }
    }
    EXPECT_EQ(3u, RequestsFor("/api.php?op=getinfo_box&gid=101"));

    // The web site cannot be reached.
    CString down;
    down.Format(L"http://127.0.0.1:%d", UnusedPort());
    SetCatalogSites({down, RAVONYX_CONTENT_SITE, RAVONYX_DOWNLOAD_SITE});
    Forget();
    CBoxAnswers boxes({IDOK});
    CallPage(L"Ex_OpenContentPage", {L"101", L"theme"});
    ASSERT_EQ(1u, boxes.shown.size());
    EXPECT_EQ(L"无法连接服务器，请检查您的网络！", boxes.shown[0].text);
    EXPECT_EQ(L"错误信息", boxes.shown[0].caption);
    EXPECT_EQ(3, SelectedTab());
    EXPECT_TRUE(m_menu.seen.empty());
    EXPECT_TRUE(m_content.seen.empty());
}

TEST_F(ContentPageTest, PageMovesTabsAndSearches)
{
    const CString web = server.Url("");
    const struct {
        int command;
        const wchar_t* keyword;
        int selected; // -1: not looked at
        Addresses menu;
        Addresses content;
    } cases[] = {
        {3, L"", 1, {Text(kSite + L"index.html?action=1")}, {Text(kSite + L"zhuti/")}},
        {4, L"", 2, {Text(kSite + L"index.html?action=2")}, {Text(kSite + L"bizhi/")}},
        {5,
         L"blue",
         -1,
         {Text(kSite + L"index.html?action=1")},
         {Text(web + L"/search.html?a=box&type=theme&keyword=blue")}},
        {6,
         L"sea",
         -1,
         {Text(kSite + L"index.html?action=2")},
         {Text(web + L"/search.html?a=box&type=desktop&keyword=sea")}},
        {0, L"x", 3, {}, {}},
        {7, L"x", 3, {}, {}},
        {-1, L"x", 3, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        SelectTab(3);
        Forget();
        CallPage(L"Ex_ControlPageMove", {c.command, c.keyword});
        if (c.selected >= 0) {
            EXPECT_EQ(c.selected, SelectedTab());
        }
        EXPECT_EQ(c.menu, Sent(m_menu));
        EXPECT_EQ(c.content, Sent(m_content));
        EXPECT_EQ(m_dlg->m_strLeftPage, m_dlg->m_menuBrowser.ErrorPage());
        EXPECT_EQ(m_dlg->m_strErrorPage, m_dlg->m_contentBrowser.ErrorPage());
    }
    // A search leaves the tab's content address as it was.
    EXPECT_EQ(kSite + L"ad/webgame.html", m_dlg->m_strContentUrl);
}

TEST_F(ContentPageTest, BackReturnsToThePreviousPageWithItsMenu)
{
    // Nothing before the first page: nothing happens.
    Forget();
    CallPage(L"Ex_ControlPageMove", {1, L""});
    EXPECT_TRUE(m_menu.seen.empty());
    EXPECT_TRUE(m_content.seen.empty());

    const CString web = server.Url("");
    const CString local = _Module.m_strAppDir + L"Local\\management\\mythemes.html?item=1";
    const struct {
        CString previous;
        CString menu;
    } cases[] = {
        {kSite + L"zhuti/3/", kSite + L"index.html?action=1"},
        {web + L"/search.html?a=box&type=theme&keyword=a", kSite + L"index.html?action=1"},
        {kSite + L"bizhi/201.html", kSite + L"index.html?action=2"},
        {web + L"/search.html?a=box&type=desktop&keyword=b", kSite + L"index.html?action=2"},
        {kSite + L"ad/webgame.html", kSite + L"index.html?action=3"},
        {local, _Module.m_strAppDir + L"Local\\list\\menumanage.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Text(c.previous).c_str());
        Visit(c.previous, kSite + L"zhuti/9.html");
        Forget();
        CallPage(L"Ex_ControlPageMove", {1, L""});
        EXPECT_EQ(Addresses{Text(c.menu)}, Sent(m_menu));
        EXPECT_EQ(Addresses{Text(c.previous)}, Sent(m_content));
        EXPECT_EQ(m_dlg->m_strLeftPage, m_dlg->m_menuBrowser.ErrorPage());
        EXPECT_EQ(m_dlg->m_strErrorPage, m_dlg->m_contentBrowser.ErrorPage());
        // Back again goes forward: the page left is now the previous one.
        EXPECT_EQ(kSite + L"zhuti/9.html", m_dlg->m_contentBrowser.PrevUrl());
    }
}

// Wine's control raises no event for a reload: what is seen is that
// nothing else moves.
TEST_F(ContentPageTest, ReloadAsksTheContentControlOnly)
{
    Forget();
    CallPage(L"Ex_ControlPageMove", {2, L""});
    EXPECT_TRUE(m_menu.seen.empty());
    EXPECT_EQ(1, SelectedTab());
    EXPECT_EQ(RAVONYX_CONTENT_SITE L"zhuti/", m_dlg->m_strContentUrl);
}

} // namespace
