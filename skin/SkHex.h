// Reading the hexadecimal values of skin XML: colours and DrawText or font
// codes.
#pragma once

#include <windows.h>

// Reads hexadecimal digits (either case) up to count digits (-1: no limit)
// or the end of the text. Any other character makes the whole value 0.
int HexToInt(int count, const char* text);

// Six hexadecimal digits red, green, blue (RRGGBB) as a COLORREF 0x00BBGGRR.
// A pair holding a bad character counts 0, the others keep their values; a
// text shorter than six characters is never read past its end, and pairs
// that begin past the end count 0.
COLORREF ParseColor(const char* text);
