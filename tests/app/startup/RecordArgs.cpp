// A stand-in for the relaunched program: writes the command line it got
// (after its own name) as UTF-8 into args.txt beside itself, and ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path);
    file = file.substr(0, file.rfind(L'\\') + 1) + L"args.tmp";
    const std::wstring text = commandLine ? commandLine : L"";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(out);
    // Written under another name first, so the test never reads half a file.
    const std::wstring done = file.substr(0, file.size() - 3) + L"txt";
    MoveFileExW(file.c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
