#include "app/common/SafeFileName.h"

#include <cwctype>

namespace {

bool IsRefusedCharacter(wchar_t ch) noexcept
{
    if (ch < 0x20 || ch == 0x7F)
        return true;
    switch (ch) {
    case L'\\':
    case L'/':
    case L':':
    case L'*':
    case L'?':
    case L'"':
    case L'<':
    case L'>':
    case L'|':
        return true;
    default:
        return false;
    }
}

// "CON", "nul.txt", "Com1.zip", "conin$", "LPT²": names Windows opens as devices.
bool IsDeviceName(const CString& name)
{
    const int dot = name.Find(L'.');
    CString stem = dot < 0 ? name : name.Left(dot);
    stem.TrimRight(L' ');
    if (stem.GetLength() < 3 || stem.GetLength() > 7)
        return false;
    wchar_t upper[8] = {};
    for (int i = 0; i < stem.GetLength(); ++i)
        upper[i] = static_cast<wchar_t>(std::towupper(stem[i]));
    const CString word(upper);
    if (word == L"CON" || word == L"PRN" || word == L"AUX" || word == L"NUL" || word == L"CONIN$" ||
        word == L"CONOUT$")
        return true;
    if (stem.GetLength() != 4 || (word.Left(3) != L"COM" && word.Left(3) != L"LPT"))
        return false;
    // Windows reserves the superscript ports as well: "COM¹" to "LPT³".
    const wchar_t number = upper[3];
    return (number >= L'1' && number <= L'9') || number == 0x00B9 || number == 0x00B2 || number == 0x00B3;
}

} // namespace

bool IsSafeFileName(const CString& name)
{
    const int length = name.GetLength();
    if (length == 0 || name.Find(L"..") >= 0)
        return false;
    for (int i = 0; i < length; ++i) {
        if (IsRefusedCharacter(name[i]))
            return false;
    }
    const wchar_t last = name[length - 1];
    if (last == L'.' || last == L' ')
        return false;
    return !IsDeviceName(name);
}
