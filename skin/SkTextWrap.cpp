#include "skin/SkTextWrap.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Cuts one line (without its line end) into wrapped, from the extents of
// its characters (extents[k]: the width of the first k + 1).
void WrapLine(const wchar_t* line, int length, int width, const std::vector<int>& extents,
              const std::vector<int>& lastSpace, std::wstring& wrapped)
{
    int start = 0;
    int end = 0; // the first character past start that does not fit
    for (;;) {
        const int base = start > 0 ? extents[start - 1] : 0;
        end = std::max(end, start);
        while (end < length && extents[end] - base <= width)
            ++end;
        const int fit = end - start;
        if (fit >= length - start) {
            wrapped.append(line + start, static_cast<size_t>(length - start));
            return;
        }
        // After the last space that fits (the first one that does not fit
        // counts too), else after what fits, at least one character.
        int cut = fit;
        if (lastSpace[start + fit] > start)
            cut = lastSpace[start + fit] - start;
        if (cut < 1)
            cut = 1;
        if (cut < length - start && IS_LOW_SURROGATE(line[start + cut]) && cut > 1)
            --cut;
        wrapped.append(line + start, static_cast<size_t>(cut));
        wrapped += L'\n';
        start += cut;
        while (start < length && line[start] == L' ')
            ++start;
    }
}

} // namespace

CString WrapTextToWidth(HDC dc, const CString& text, int width)
{
    width = std::max(width, 1);
    const wchar_t* all = text.GetString();
    const int length = text.GetLength();
    std::wstring wrapped;
    wrapped.reserve(static_cast<size_t>(length) + static_cast<size_t>(length) / 8 + 16);
    std::vector<int> extents;
    std::vector<int> lastSpace;
    int start = 0;
    for (;;) {
        int end = start;
        while (end < length && all[end] != L'\n')
            ++end;
        int lineEnd = end;
        while (lineEnd > start && all[lineEnd - 1] == L'\r')
            --lineEnd;
        const wchar_t* line = all + start;
        const int n = lineEnd - start;
        extents.assign(static_cast<size_t>(n), 0);
        lastSpace.assign(static_cast<size_t>(n), -1);
        if (n > 0) {
            SIZE size = {};
            GetTextExtentExPointW(dc, line, n, 0, nullptr, extents.data(), &size);
            for (int i = 0; i < n; ++i)
                lastSpace[i] = line[i] == L' ' ? i : (i > 0 ? lastSpace[i - 1] : -1);
        }
        WrapLine(line, n, width, extents, lastSpace, wrapped);
        if (end >= length)
            break;
        wrapped += L'\n';
        start = end + 1;
    }
    return CString(wrapped.c_str(), static_cast<int>(wrapped.size()));
}
