#include "app/catalog/ContentPage.h"

#include "app/browser/CallPageScript.h"

namespace {

// UI thread only.
CUiHtmlContainerWindow* g_contentBrowser = nullptr;
CUiHtmlContainerWindow* g_menuBrowser = nullptr;

CString& ContentErrorPageText()
{
    static CString page;
    return page;
}

CString& MenuErrorPageText()
{
    static CString page;
    return page;
}

} // namespace

void SetContentBrowser(CUiHtmlContainerWindow* browser) noexcept
{
    g_contentBrowser = browser;
}

CUiHtmlContainerWindow* ContentBrowser() noexcept
{
    return g_contentBrowser;
}

bool CallContentPage(const wchar_t* function, const CString& argument)
{
    return g_contentBrowser && CallPageScript(*g_contentBrowser, function, argument);
}

void SetMenuBrowser(CUiHtmlContainerWindow* browser) noexcept
{
    g_menuBrowser = browser;
}

CUiHtmlContainerWindow* MenuBrowser() noexcept
{
    return g_menuBrowser;
}

void SetPageErrorPages(const CString& contentErrorPage, const CString& menuErrorPage)
{
    ContentErrorPageText() = contentErrorPage;
    MenuErrorPageText() = menuErrorPage;
}

const CString& ContentErrorPage() noexcept
{
    return ContentErrorPageText();
}

const CString& MenuErrorPage() noexcept
{
    return MenuErrorPageText();
}
