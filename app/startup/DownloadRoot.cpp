#include "app/startup/DownloadRoot.h"

#include <windows.h>

#include <cwchar>

#include "app/common/ConfigCodec.h"

namespace {

// What the program's readers of the settings take in, in characters, with
// the terminating zero.
constexpr int kReaderCapacity = MAX_PATH;

bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsBadNameCharacter(wchar_t c)
{
    return c < 0x20 || std::wcschr(L"<>:\"/|?*", c) != nullptr;
}

DownloadRootProblem CheckForm(const CString& text)
{
    if (text.GetLength() < 3 || !IsDriveLetter(text[0]) || text[1] != L':' || text[2] != L'\\')
        return DownloadRootProblem::NotAbsoluteLocal;
    const CString rest = text.Mid(3);
    for (int i = 0; i < rest.GetLength(); ++i) {
        if (IsBadNameCharacter(rest[i]))
            return DownloadRootProblem::BadCharacter;
    }
    // "." and ".." make the folder another one than the text names.
    const CString padded = L"\\" + rest + L"\\";
    if (padded.Find(L"\\.\\") >= 0 || padded.Find(L"\\..\\") >= 0)
        return DownloadRootProblem::NotAbsoluteLocal;
    // A device name (D:\NUL, D:\con.txt) is no folder on the drive.
    wchar_t full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameW(text, MAX_PATH * 2, full, nullptr);
    if (length < 3 || length >= MAX_PATH * 2 || (full[0] | 0x20) != (text[0] | 0x20) || full[1] != L':' ||
        full[2] != L'\\')
        return DownloadRootProblem::NotAbsoluteLocal;
    return DownloadRootProblem::None;
}

} // namespace

DownloadRootProblem CheckDownloadRoot(const CString& text)
{
    const DownloadRootProblem form = CheckForm(text);
    if (form != DownloadRootProblem::None)
        return form;
    // Stored scrambled through the ANSI code page; read back into a buffer of
    // the readers' size.
    CString symbols;
    CString back;
    if (EncodeConfigText(text, symbols) <= 0 || DecodeConfigText(symbols, back) <= 0 || back != text)
        return DownloadRootProblem::NotStorable;
    if (symbols.GetLength() > kReaderCapacity - 1)
        return DownloadRootProblem::TooLong;
    return DownloadRootProblem::None;
}
