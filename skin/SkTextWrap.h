// Line wrapping of a text for a width in a DC's font: each line ("\n"
// ends one, "\r" before it is dropped) is cut wherever it is wider than the
// width, after the last space that fits (the spaces at the cut are dropped),
// or between two characters when a word alone is wider, never between the
// halves of a surrogate pair. Every line is measured once, so a text of
// any length and shape wraps in time proportional to its length.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// The text with a "\n" at every cut; its own line ends become "\n".
CString WrapTextToWidth(HDC dc, const CString& text, int width);
