// The content browser as the download relay and the page handlers reach it: the main window
// names its content container once it exists (and null before it goes);
// page calls made while none is named do nothing.
#pragma once

#include "base/RefString.h"

class CUiHtmlContainerWindow;

void SetContentBrowser(CUiHtmlContainerWindow* browser) noexcept;
CUiHtmlContainerWindow* ContentBrowser() noexcept;

// The main window's left menu, named alike, and the error pages the two
// browsers fall back to.
void SetMenuBrowser(CUiHtmlContainerWindow* browser) noexcept;
CUiHtmlContainerWindow* MenuBrowser() noexcept;
void SetPageErrorPages(const CString& contentErrorPage, const CString& menuErrorPage);
const CString& ContentErrorPage() noexcept;
const CString& MenuErrorPage() noexcept;

// Calls the content page's function with one text argument; false when no
// browser is named or the page has no such function.
bool CallContentPage(const wchar_t* function, const CString& argument);
