#include "skin/SkPointerValue.h"

UINT_PTR ParsePointerValue(const char* text)
{
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t')
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    UINT_PTR value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10 + static_cast<UINT_PTR>(*text - '0');
    return negative ? static_cast<UINT_PTR>(0) - value : value;
}
