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

// Names Windows opens as devices in any folder, with any extension.
bool IsDeviceName(const CString& part)
{
    CString base = part;
    const int dot = base.Find(L'.');
    if (dot >= 0)
        base = base.Left(dot);
    base.TrimRight();
    static const wchar_t* const kDevices[] = {L"CON",    L"PRN",    L"AUX",    L"NUL",
                                              L"CLOCK$", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices) {
        if (base.CompareNoCase(device) == 0)
            return true;
    }
    // COM1-COM9 and LPT1-LPT9, and with the superscript digits one to three.
    if (base.GetLength() != 4)
        return false;
    const CString stem = base.Left(3);
    if (stem.CompareNoCase(L"COM") != 0 && stem.CompareNoCase(L"LPT") != 0)
        return false;
    const wchar_t digit = base[3];
    return (digit >= L'1' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 || digit == 0x00B3;
}

// The parts of the path after "D:\", empty ones (a doubled or a trailing
// backslash) left out.
template <typename Visit> DownloadRootProblem ForEachPart(const CString& text, Visit visit)
{
    int start = 3;
    while (start < text.GetLength()) {
        int end = text.Find(L'\\', start);
        if (end < 0)
            end = text.GetLength();
        if (end > start) {
            const DownloadRootProblem problem = visit(text.Mid(start, end - start), end);
            if (problem != DownloadRootProblem::None)
                return problem;
        }
        start = end + 1;
    }
    return DownloadRootProblem::None;
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
    const DownloadRootProblem part = ForEachPart(text, [](const CString& name, int) {
        if (IsDeviceName(name))
            return DownloadRootProblem::DeviceName;
        const wchar_t last = name[name.GetLength() - 1];
        if (last == L' ' || last == L'.')
            return DownloadRootProblem::TrailingBlankOrDot;
        return DownloadRootProblem::None;
    });
    if (part != DownloadRootProblem::None)
        return part;
    wchar_t full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameW(text, MAX_PATH * 2, full, nullptr);
    if (length < 3 || length >= MAX_PATH * 2 || (full[0] | 0x20) != (text[0] | 0x20) || full[1] != L':' ||
        full[2] != L'\\')
        return DownloadRootProblem::NotAbsoluteLocal;
    return DownloadRootProblem::None;
}

bool IsFixedDrive(const CString& text)
{
    const CString root = text.Left(3);
    const UINT type = GetDriveTypeW(root);
    return type == DRIVE_FIXED || type == DRIVE_RAMDISK;
}

} // namespace

DownloadRootProblem CheckDownloadRootText(const CString& text)
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

DownloadRootProblem CheckDownloadRoot(const CString& text)
{
    const DownloadRootProblem form = CheckDownloadRootText(text);
    if (form != DownloadRootProblem::None)
        return form;
    if (!IsFixedDrive(text))
        return DownloadRootProblem::NotFixedDrive;
    // Every folder on the way that exists is a folder.
    return ForEachPart(text, [&](const CString&, int end) {
        const DWORD attributes = GetFileAttributesW(text.Left(end));
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return DownloadRootProblem::ThroughFile;
        return DownloadRootProblem::None;
    });
}
