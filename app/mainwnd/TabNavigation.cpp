// The main window's two pages: the left menu and the content page, which
// the tab strip, the menu's links and two private messages send to their
// addresses.
#include <memory>

#include "app/browser/BrowserExternal.h"
#include "app/catalog/CatalogScriptHandlers.h"
#include "app/catalog/ContentPage.h"
#include "app/common/ServerAddresses.h"
#include "app/common/TextUtils.h"
#include "app/mainwnd/MainDlg.h"
#include "app/startup/CorvaneModule.h"

namespace {

const wchar_t kMenuManagePage[] = L"Local\\list\\menumanage.html";
const wchar_t kMyThemesPage[] = L"Local\\management\\mythemes.html";
const wchar_t kMyImagesPage[] = L"Local\\management\\myimages.html";
const wchar_t kItemQuery[] = L"?item=";

// The tabs past the four of the strip that open the sub-lists of "我的下载".
bool IsDownloadSubList(int index)
{
    return index >= 11 && index <= 13;
}

// The left-menu and content addresses of a tab; false for an index that
// has none.
bool TabAddresses(int index, CString& menuUrl, CString& contentUrl)
{
    const CString appDir = _Module.m_strAppDir;
    const CString site = RAVONYX_CONTENT_SITE;
    switch (index) {
    case 0:
        menuUrl = appDir + kMenuManagePage + L"?action=0";
        contentUrl = appDir + kMyThemesPage + L"?item=1";
        return true;
    case 1:
        menuUrl = site + L"index.html" + L"?action=1";
        contentUrl = site + L"zhuti/";
        return true;
    case 2:
        menuUrl = site + L"index.html" + L"?action=2";
        contentUrl = site + L"bizhi/";
        return true;
    case 3:
        menuUrl = site + L"index.html" + L"?action=3";
        contentUrl = site + L"ad/webgame.html";
        return true;
    case 11:
        menuUrl = appDir + kMenuManagePage + L"?action=1";
        contentUrl = appDir + kMyThemesPage + L"?item=2";
        return true;
    case 12:
        menuUrl = appDir + kMenuManagePage + L"?action=2";
        contentUrl = appDir + kMyImagesPage + L"?item=1";
        return true;
    case 13:
        menuUrl = appDir + kMenuManagePage + L"?action=3";
        contentUrl = appDir + kMyImagesPage + L"?item=2";
        return true;
    default:
        return false;
    }
}

} // namespace

void CCorvaneMainDlg::CreatePageBrowsers()
{
    // The layout's realwnd items 114 and 115 give the windows their places.
    const RECT none = {};
    if (m_menuBrowser.Create(m_view.m_hWnd, none, WS_CHILD | WS_VISIBLE, 0, IDC_MENU_BROWSER)) {
        m_menuBrowser.SetBackgroundColor(kPageBackground);
        m_menuBrowser.CreateBrowser();
    }
    if (m_contentBrowser.Create(m_view.m_hWnd, none, WS_CHILD | WS_VISIBLE, 0, IDC_CONTENT_BROWSER)) {
        m_contentBrowser.SetBackgroundColor(kPageBackground);
        m_contentBrowser.CreateBrowser();
    }
    SetContentBrowser(&m_contentBrowser);
    SetMenuBrowser(&m_menuBrowser);
    SetPageErrorPages(m_strErrorPage, m_strLeftPage);
    CBrowserExternal::Instance().SetOwner(m_hWnd, &CCatalogScriptHandlers::Instance());
    m_contentBrowser.SetExternalDispatch(&CBrowserExternal::Instance());
}

void CCorvaneMainDlg::ReleasePageBrowsers()
{
    // Page calls that come while the windows go run nothing.
    SetContentBrowser(nullptr);
    SetMenuBrowser(nullptr);
    CBrowserExternal::Instance().SetOwner(nullptr, nullptr);
}

int CCorvaneMainDlg::SwitchTab(int index)
{
    // After a sub-list the strip comes back to "我的下载" without loading
    // its first list over the sub-list.
    if (index == 0 && m_bSkipTabNavigation) {
        m_bSkipTabNavigation = 0;
        return 1;
    }
    CString menuUrl;
    CString contentUrl;
    if (!TabAddresses(index, menuUrl, contentUrl))
        return 1;
    NavigatePages(menuUrl, contentUrl);
    if (IsDownloadSubList(index)) {
        PostMessageW(m_hWnd, WM_SELECT_TAB, 0, 0);
        m_bSkipTabNavigation = 1;
    }
    return 1;
}

void CCorvaneMainDlg::NavigatePages(const CString& menuUrl, const CString& contentUrl)
{
    m_strContentUrl = contentUrl;
    m_menuBrowser.NavigateWithErrorPage(m_strLeftPage, menuUrl);
    m_contentBrowser.NavigateWithErrorPage(m_strErrorPage, contentUrl);
}

LRESULT CCorvaneMainDlg::OnMenuNavigate(const wchar_t* linkText)
{
    if (!linkText)
        return 0;
    const CString link(linkText);
    const int at = link.Find(kItemQuery);
    if (at < 0)
        return 0;
    const CString item = link.Mid(at + static_cast<int>(wcslen(kItemQuery)));
    if (IsAllDigits(item)) {
        m_view.SetTabCurSel(IDC_MAIN_TABS, _wtoi(item));
        return 0;
    }
    m_contentBrowser.NavigateWithErrorPage(m_strErrorPage, CString(RAVONYX_CONTENT_SITE) + item + L"/");
    return 0;
}

LRESULT CCorvaneMainDlg::OnShowTabPage(int tab, int page)
{
    if (page <= 0)
        return 1;
    m_view.SetTabCurSel(IDC_MAIN_TABS, tab);
    CString url;
    url.Format(RAVONYX_CONTENT_SITE L"%d.html", page);
    m_contentBrowser.NavigateWithErrorPage(m_strErrorPage, url);
    ShowWindow(m_hWnd, SW_SHOW);
    SetFocus(m_hWnd);
    return 0;
}

LRESULT CCorvaneMainDlg::OnListNavigate(std::unique_ptr<ListNavigateRequest> block)
{
    if (!block)
        return 0;
    m_contentBrowser.NavigateWithErrorPage(m_strErrorPage, block->url, &block->flags, &block->targetFrame,
                                           &block->postData, &block->headers);
    return 0;
}

bool CCorvaneMainDlg::PostListNavigate(std::unique_ptr<ListNavigateRequest> request)
{
    return m_listNavigations.Post(m_hWnd, WM_LIST_NAVIGATE, std::move(request));
}
