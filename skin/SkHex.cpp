#include "skin/SkHex.h"

#include <cstring>

namespace {

int HexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

} // namespace

int HexToInt(int count, const char* text)
{
    if (!text)
        return 0;
    unsigned int result = 0;
    for (int read = 0; text[read] && (count < 0 || read < count); ++read) {
        int digit = HexDigit(text[read]);
        if (digit < 0)
            return 0;
        result = result * 16 + static_cast<unsigned int>(digit);
    }
    return static_cast<int>(result);
}

COLORREF ParseColor(const char* text)
{
    if (!text)
        return 0;
    const size_t length = strnlen(text, 6);
    auto pair = [&](size_t start) { return start < length ? HexToInt(2, text + start) : 0; };
    const int red = pair(0);
    const int green = pair(2);
    const int blue = pair(4);
    return static_cast<COLORREF>(red | green << 8 | blue << 16);
}
