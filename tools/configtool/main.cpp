// configtool: reads and writes the program's scrambled settings from outside
// the program, for tests and for people looking into a settings file.
//
//   configtool encode TEXT
//   configtool decode SYMBOLS
//   configtool read SECTION KEY FILE [DEFAULT]
//   configtool write SECTION KEY VALUE FILE
//
// Texts go through the ANSI code page like the program's own. Output is one
// line: UTF-16 on a console, UTF-8 when redirected. Exit codes: 0 done,
// 1 nothing found, a malformed symbol text (what decoded before the fault is
// shown) or a failed write, 2 a bad command line.
#include "app/common/ConfigCodec.h"

#include <cwchar>
#include <string>

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

void Write(HANDLE stream, const CString& text)
{
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(stream, &mode)) {
        WriteConsoleW(stream, text.GetString(), static_cast<DWORD>(text.GetLength()), &written, nullptr);
        return;
    }
    const std::string utf8 = text.ToUtf8();
    WriteFile(stream, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

void PrintLine(const CString& text)
{
    Write(GetStdHandle(STD_OUTPUT_HANDLE), text + L"\n");
}

int Usage()
{
    Write(GetStdHandle(STD_ERROR_HANDLE), L"usage: configtool encode TEXT\n"
                                          L"       configtool decode SYMBOLS\n"
                                          L"       configtool read SECTION KEY FILE [DEFAULT]\n"
                                          L"       configtool write SECTION KEY VALUE FILE\n");
    return kUsage;
}

// INI functions look for a bare file name in the Windows folder; take it
// from the current folder as a person would expect.
CString FullPath(const wchar_t* file)
{
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(file, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? CString(full) : CString(file);
}

int Encode(const wchar_t* text)
{
    CString symbols;
    if (EncodeConfigText(text, symbols) <= 0)
        return kFailed;
    PrintLine(symbols);
    return kDone;
}

int Decode(const wchar_t* symbols)
{
    CString text;
    const int result = DecodeConfigText(symbols, text);
    PrintLine(text);
    return result > 0 ? kDone : kFailed;
}

int Read(const wchar_t* section, const wchar_t* key, const wchar_t* file, const wchar_t* defaultValue)
{
    CString value;
    if (!ReadConfigValue(section, key, FullPath(file), defaultValue, 260, value))
        return kFailed;
    PrintLine(value);
    return kDone;
}

int WriteValue(const wchar_t* section, const wchar_t* key, const wchar_t* value, const wchar_t* file)
{
    return WriteConfigValue(section, key, value, FullPath(file)) ? kDone : kFailed;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    const std::wstring command = argv[1];
    if (command == L"encode" && argc == 3)
        return Encode(argv[2]);
    if (command == L"decode" && argc == 3)
        return Decode(argv[2]);
    if (command == L"read" && (argc == 5 || argc == 6))
        return Read(argv[2], argv[3], argv[4], argc == 6 ? argv[5] : L"");
    if (command == L"write" && argc == 6)
        return WriteValue(argv[2], argv[3], argv[4], argv[5]);
    return Usage();
}
