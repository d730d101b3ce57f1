#include "app/catalog/ContentPage.h"

#include "app/browser/CallPageScript.h"

namespace {

CUiHtmlContainerWindow* g_contentBrowser = nullptr; // UI thread only

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
