// A stand-in for Extract.dll that tests copy beside unpack_probe.exe: it
// writes its command line (UTF-8) to RAVONYX_STUB_COMMAND_LOG when that is set
// and exits with the code in RAVONYX_STUB_EXIT_CODE, so every exit code of the
// real extractor, also those it cannot be made to give, can be shown.
// With RAVONYX_STUB_STARTED and RAVONYX_STUB_RELEASE (names of events) it
// sets the first, then waits for the second (at most a minute) before it
// exits, as a stuck extractor would; RAVONYX_STUB_ALIVE names a mutex it holds
// while it runs.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    GetEnvironmentVariableW(name, value, MAX_PATH);
    return value;
}

} // namespace

int main()
{
    const std::wstring log = Environment(L"RAVONYX_STUB_COMMAND_LOG");
    if (!log.empty()) {
        const wchar_t* line = GetCommandLineW();
        std::string utf8(WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr), '\0');
        WideCharToMultiByte(CP_UTF8, 0, line, -1, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
        HANDLE file = CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size() - 1), &written, nullptr);
        CloseHandle(file);
    }
    const std::wstring alive = Environment(L"RAVONYX_STUB_ALIVE");
    HANDLE mutex = alive.empty() ? nullptr : CreateMutexW(nullptr, TRUE, alive.c_str());
    const std::wstring started = Environment(L"RAVONYX_STUB_STARTED");
    const std::wstring release = Environment(L"RAVONYX_STUB_RELEASE");
    if (!started.empty() && !release.empty()) {
        HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, release.c_str());
        if (HANDLE signal = OpenEventW(EVENT_MODIFY_STATE, FALSE, started.c_str())) {
            SetEvent(signal);
            CloseHandle(signal);
        }
        if (go) {
            WaitForSingleObject(go, 60000);
            CloseHandle(go);
        }
    }
    if (mutex)
        CloseHandle(mutex);
    return static_cast<int>(wcstoul(Environment(L"RAVONYX_STUB_EXIT_CODE").c_str(), nullptr, 10));
}
