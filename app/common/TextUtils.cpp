#include "app/common/TextUtils.h"

#include <cstring>
#include <string>

namespace {

inline unsigned Continuation(unsigned char byte) noexcept
{
    return byte & 0x3Fu;
}

} // namespace

CString Utf8ToString(const char* bytes, int length)
{
    const auto* in = reinterpret_cast<const unsigned char*>(bytes);
    std::wstring text;
    text.reserve(length > 0 ? static_cast<size_t>(length) : 0);
    int at = 0;
    while (at < length) {
        const unsigned char lead = in[at];
        if (lead < 0x80) {
            text += static_cast<wchar_t>(lead);
            at += 1;
        } else if ((lead & 0xE0) == 0xC0) {
            if (length - at < 2)
                break;
            text += static_cast<wchar_t>(((lead & 0x1Fu) << 6) | Continuation(in[at + 1]));
            at += 2;
        } else if ((lead & 0xF0) == 0xE0) {
            if (length - at < 3)
                break;
            text += static_cast<wchar_t>(((lead & 0x0Fu) << 12) | (Continuation(in[at + 1]) << 6) |
                                         Continuation(in[at + 2]));
            at += 3;
        } else if ((lead & 0xF8) == 0xF0) {
            if (length - at < 4)
                break;
            const unsigned long code = ((lead & 0x07ul) << 18) | (Continuation(in[at + 1]) << 12) |
                                       (Continuation(in[at + 2]) << 6) | Continuation(in[at + 3]);
            // Only the characters that need a surrogate pair are taken in
            // this form; anything else is not a character.
            if (code < 0x10000 || code > 0x10FFFF)
                break;
            text += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            at += 4;
        } else {
            break; // a stray continuation byte or an impossible lead byte
        }
    }
    return CString(text.c_str(), static_cast<int>(text.size()));
}

CString Utf8ToStringZ(const char* bytes)
{
    return bytes ? Utf8ToString(bytes, static_cast<int>(std::strlen(bytes))) : CString();
}

void SplitString(const CString& text, const CString& separator, std::vector<CString>& out, int maxCount,
                 const CString& filler)
{
    out.clear();
    if (maxCount == 1 || separator.IsEmpty()) {
        out.push_back(text);
        return;
    }
    int position = 0;
    for (;;) {
        const int found = text.Find(separator, position);
        if (found < 0)
            break;
        out.push_back(found == position ? filler : text.Mid(position, found - position));
        position = found + separator.GetLength();
        if (maxCount > 0 && static_cast<int>(out.size()) == maxCount - 1)
            break;
    }
    out.push_back(position < text.GetLength() ? text.Mid(position) : filler);
}

bool IsAllDigits(const CString& text)
{
    if (text.IsEmpty())
        return false;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    }
    return true;
}
