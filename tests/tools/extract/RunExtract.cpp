// Starts the command line in RAVONYX_EXTRACT_COMMAND the way the main program
// starts its extractor (CreateProcessW without an application name, hidden,
// nothing inherited) and exits with the extractor's exit code. The command
// line comes from the environment so that it reaches CreateProcessW exactly
// as written, quotes and trailing backslashes included. An extractor still
// running after RAVONYX_EXTRACT_LIMIT_MS (when set) is ended, and the runner
// says so and exits with 201.
#include "base/Handle.h"

#include <windows.h>

#include "base/StartProcess.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

const int kCouldNotStart = 200;
const int kEndedAtTheLimit = 201;

DWORD TimeLimitMs()
{
    wchar_t text[32] = {};
    if (!GetEnvironmentVariableW(L"RAVONYX_EXTRACT_LIMIT_MS", text, 32))
        return INFINITE;
    return static_cast<DWORD>(std::wcstoul(text, nullptr, 10));
}

} // namespace

int main()
{
    const wchar_t* name = L"RAVONYX_EXTRACT_COMMAND";
    std::vector<wchar_t> commandLine(GetEnvironmentVariableW(name, nullptr, 0) + 1);
    if (GetEnvironmentVariableW(name, commandLine.data(), static_cast<DWORD>(commandLine.size())) == 0) {
        std::fprintf(stderr, "RAVONYX_EXTRACT_COMMAND is not set\n");
        return kCouldNotStart;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!StartProcess(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
        std::fprintf(stderr, "CreateProcessW failed: %lu\n", GetLastError());
        return kCouldNotStart;
    }
    CHandle thread(process.hThread);
    CHandle child(process.hProcess);
    const DWORD limit = TimeLimitMs();
    if (WaitForSingleObject(child, limit) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "the extractor was still running after %lu ms: ended\n", limit);
        TerminateProcess(child, kEndedAtTheLimit);
        WaitForSingleObject(child, 10000);
        return kEndedAtTheLimit;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(child, &exitCode);
    return static_cast<int>(exitCode);
}
