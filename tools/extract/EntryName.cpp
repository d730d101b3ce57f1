#include "tools/extract/EntryName.h"

#include "app/common/SafeFileName.h"

namespace {

const UINT kChineseCodePage = 936;
// The longest file or folder name Windows keeps.
const int kMaxNameLength = 255;

bool IsSeparator(wchar_t ch)
{
    return ch == L'/' || ch == L'\\';
}

} // namespace

CString DecodeEntryName(const char* bytes, int length, bool utf8)
{
    if (utf8)
        return CString::FromUtf8(bytes, length);
    CString name = CString::FromCodePage(bytes, length, kChineseCodePage);
    if (name.IsEmpty() && length > 0) // code page 936 not installed
        name = CString::FromAnsi(bytes, length);
    return name;
}

std::optional<EntryPath> MakeEntryPath(const CString& name)
{
    if (name.IsEmpty() || IsSeparator(name[0]) || name.Find(L':') >= 0)
        return std::nullopt;
    if (static_cast<int>(wcslen(name)) != name.GetLength()) // a NUL would cut the name short
        return std::nullopt;
    EntryPath path;
    path.isFolder = IsSeparator(name[name.GetLength() - 1]);
    int start = 0;
    while (start <= name.GetLength()) {
        int end = start;
        while (end < name.GetLength() && !IsSeparator(name[end]))
            ++end;
        const CString part = name.Mid(start, end - start);
        if (!part.IsEmpty() && part != L".") {
            // Also the names Windows would change or open as a device:
            // "..", a trailing dot or blank, "CON", "nul.txt", "a*b", and a
            // name longer than the file system holds.
            if (!IsSafeFileName(part) || part.GetLength() > kMaxNameLength)
                return std::nullopt;
            if (!path.relative.IsEmpty())
                path.relative += L'\\';
            path.relative += part;
        }
        start = end + 1;
    }
    if (path.relative.IsEmpty() && !path.isFolder)
        return std::nullopt;
    return path;
}
