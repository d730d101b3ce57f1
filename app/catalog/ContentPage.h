// The content browser as the download relay reaches it: the main window
// names its content container once it exists (and null before it goes);
// page calls made while none is named do nothing.
#pragma once

#include "base/RefString.h"

class CUiHtmlContainerWindow;

void SetContentBrowser(CUiHtmlContainerWindow* browser) noexcept;
CUiHtmlContainerWindow* ContentBrowser() noexcept;

// Calls the content page's function with one text argument; false when no
// browser is named or the page has no such function.
bool CallContentPage(const wchar_t* function, const CString& argument);
