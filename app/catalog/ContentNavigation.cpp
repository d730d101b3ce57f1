#include "app/catalog/ContentNavigation.h"

#include <vector>

#include "app/browser/UiHtmlListWindow.h"
#include "app/catalog/CatalogDownloads.h"
#include "app/catalog/CatalogSites.h"
#include "app/catalog/ContentPage.h"
#include "app/common/HttpText.h"
#include "app/common/TextUtils.h"
#include "app/mainwnd/MainDlgMessages.h"
#include "app/startup/CorvaneModule.h"
#include "skin/CorvaneMsgBox.h"

namespace {

constexpr DWORD kRecommendReadSize = 4096;
// Names no page of the strip: the tab switch loads nothing for it.
constexpr int kNoPageTab = 4;

void SelectTab(HWND mainWnd, int index)
{
    if (mainWnd)
        SendMessageW(mainWnd, WM_SELECT_TAB, static_cast<WPARAM>(index), 0);
}

void NavigateContent(const CString& url)
{
    if (CUiHtmlContainerWindow* browser = ContentBrowser())
        browser->NavigateWithErrorPage(ContentErrorPage(), url);
}

void NavigateMenu(const CString& url)
{
    if (CUiHtmlContainerWindow* browser = MenuBrowser())
        browser->NavigateWithErrorPage(MenuErrorPage(), url);
}

CString MenuAction(int action)
{
    CString number;
    number.Format(L"%d", action);
    return GetCatalogSites().contentSite + L"index.html?action=" + number;
}

CString SearchAddress(const wchar_t* type)
{
    return GetCatalogSites().webSite + L"/search.html?a=box&type=" + type + L"&keyword=";
}

// The left menu that belongs to a remembered content address.
CString MenuForContent(const CString& url)
{
    const CString& site = GetCatalogSites().contentSite;
    if (url.Find(site + L"zhuti/") >= 0 || url.Find(SearchAddress(L"theme")) >= 0)
        return MenuAction(1);
    if (url.Find(site + L"bizhi/") >= 0 || url.Find(SearchAddress(L"desktop")) >= 0)
        return MenuAction(2);
    if (url.Find(site + L"ad/webgame.html") >= 0)
        return MenuAction(3);
    return _Module.m_strAppDir + L"Local\\list\\menumanage.html";
}

void GoBack(HWND mainWnd)
{
    auto* content = dynamic_cast<CUiHtmlListWindow*>(ContentBrowser());
    if (!content || content->PrevUrl().IsEmpty())
        return;
    // The navigations change the remembered addresses: work from a copy.
    const CString previous = content->PrevUrl();
    SelectTab(mainWnd, kNoPageTab);
    NavigateMenu(MenuForContent(previous));
    NavigateContent(previous);
}

void Search(HWND mainWnd, int action, const wchar_t* type, const CString& keyword)
{
    SelectTab(mainWnd, kNoPageTab);
    NavigateMenu(MenuAction(action));
    NavigateContent(SearchAddress(type) + keyword);
}

} // namespace

void OpenContentPage(HWND mainWnd, const CString& id, const CString& type)
{
    CString reply;
    if (!RequestItemReply(id, reply)) {
        CCorvaneMsgBox::Show(L"无法连接服务器，请检查您的网络！", L"错误信息", 0);
        return;
    }
    std::vector<CString> fields;
    SplitString(reply, L" | ", fields, 0, CString());
    // A reply without the address field opens nothing, like a failed one.
    if (fields.size() < 3 || fields[0] != L"success") {
        CCorvaneMsgBox::Show(L"由于网络故障等原因，此页面无法打开！", L"打开失败", 0);
        return;
    }
    CString path = fields[2];
    path.Replace(L"contenturl:", L"");
    const CString url = GetCatalogSites().contentSite + path;
    if (type == L"theme")
        SelectTab(mainWnd, 1);
    else if (type == L"bizhi")
        SelectTab(mainWnd, 2);
    else {
        CCorvaneMsgBox::Show(L"由于未知原因，此页面无法打开！", L"打开失败", 0);
        return;
    }
    NavigateContent(url);
}

void ControlPageMove(HWND mainWnd, int command, const CString& keyword)
{
    switch (command) {
    case 1:
        GoBack(mainWnd);
        break;
    case 2:
        if (CUiHtmlContainerWindow* content = ContentBrowser())
            content->Refresh();
        break;
    case 3:
        SelectTab(mainWnd, 1);
        break;
    case 4:
        SelectTab(mainWnd, 2);
        break;
    case 5:
        Search(mainWnd, 1, L"theme", keyword);
        break;
    case 6:
        Search(mainWnd, 2, L"desktop", keyword);
        break;
    default:
        break;
    }
}

CString GetRecommendedContent(int type)
{
    CString number;
    number.Format(L"%d", type);
    const CString url = GetCatalogSites().webSite + L"/api.php?op=getref_box&type=" + number;
    CString reply;
    const wchar_t kSuccess[] = L"success|";
    if (HttpGetText(url, reply, kRecommendReadSize) && reply.Left(8) == kSuccess)
        return reply.Mid(8);
    return L"<li>由于网络故障等原因，暂时无法获得推荐内容！</li>";
}
