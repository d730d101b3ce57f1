// Screen size helpers for the main window's footer and the corner pop-ups.
#pragma once

#include "base/RefString.h"

// Places a rectangle of the layout's size at the bottom-right corner of the
// primary screen, just above the task bar.
RECT& PopupCornerRect(RECT& out, const RECT& layout);

// Shrinks the rectangle to the primary screen's work area where it is larger
// and moves it inside, so that all of it, its corners too, can be reached.
RECT& KeepInsideWorkArea(RECT& rect);

// The screen size as text, format applied to width and height ("%dX%d").
CString& ScreenResolutionText(CString& out, const wchar_t* format);
