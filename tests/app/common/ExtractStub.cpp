// A stand-in for Extract.dll that tests copy beside unpack_probe.exe: it
// writes its command line (UTF-8) to RAVONYX_STUB_COMMAND_LOG when that is set
// and exits with the code in RAVONYX_STUB_EXIT_CODE, so every exit code of the
// real extractor, also those it cannot be made to give, can be shown.
#include <windows.h>

#include <cwchar>
#include <string>

int main()
{
    wchar_t value[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"RAVONYX_STUB_COMMAND_LOG", value, MAX_PATH)) {
        const wchar_t* line = GetCommandLineW();
        std::string utf8(WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr), '\0');
        WideCharToMultiByte(CP_UTF8, 0, line, -1, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
        HANDLE log =
            CreateFileW(value, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(log, utf8.data(), static_cast<DWORD>(utf8.size() - 1), &written, nullptr);
        CloseHandle(log);
    }
    value[0] = L'\0';
    GetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", value, MAX_PATH);
    return static_cast<int>(wcstoul(value, nullptr, 10));
}
