// A stand-in for the updater Uplark.exe: appends one line, its own
// ProductVersion, "|" and the parameters it was started with (UTF-8), to
// started.txt beside itself, and ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring log(path);
    log = log.substr(0, log.rfind(L'\\') + 1) + L"started.txt";

    const std::wstring line =
        std::wstring(STAND_IN_VERSION) + L"|" + (commandLine ? commandLine : L"") + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size, nullptr,
                        nullptr);
    // Two stand-ins may start at once: the one that finds the file taken
    // tries again.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE out = CreateFileW(log.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(out);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}
