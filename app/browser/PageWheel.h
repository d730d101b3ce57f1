// The mouse wheel over a browser container: the page's own window
// ("Internet Explorer_Server" in "Shell DocObject View" in the browser's
// frame window, found through the control's services) scrolls one line per
// wheel message, down for a negative delta, up otherwise.
#pragma once

#include <windows.h>

#include <unknwn.h>

void ScrollPageByWheel(IUnknown* control, short delta);
