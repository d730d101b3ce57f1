#include "tools/extract/Console.h"

void PrintError(const CString& text)
{
    const HANDLE stream = GetStdHandle(STD_ERROR_HANDLE);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE)
        return; // started hidden without standard handles
    const CString line = L"Extract: " + text + L"\r\n";
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(stream, &mode)) {
        WriteConsoleW(stream, line.GetString(), static_cast<DWORD>(line.GetLength()), &written, nullptr);
        return;
    }
    const std::string bytes = line.ToUtf8();
    WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
