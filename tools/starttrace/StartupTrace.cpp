// Test build only: records the program's start-up steps (StartupSteps.h)
// into the file that RAVONYX_STARTUP_TRACE names. Each line is written at
// once, so the lines survive the TerminateProcess that ends a benchmark run.
#include "tools/starttrace/StartupTrace.h"

#include <windows.h>

#include <cstdio>

#include "app/startup/StartupSteps.h"

namespace {

HANDLE g_file = INVALID_HANDLE_VALUE;

void WriteStep(const char* step)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char line[160];
    const int length =
        std::snprintf(line, sizeof(line), "%lld %s\n", static_cast<long long>(now.QuadPart), step);
    if (length <= 0)
        return;
    DWORD written = 0;
    WriteFile(g_file, line,
              static_cast<DWORD>(length < static_cast<int>(sizeof(line)) ? length : sizeof(line) - 1),
              &written, nullptr);
}

struct CStartupTrace {
    CStartupTrace()
    {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableW(kStartupTraceVariable, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return;
        g_file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (g_file == INVALID_HANDLE_VALUE)
            return;
        WriteStep("entry");
        SetStartupStepRecorder(WriteStep);
    }
};

// Before the program's own static objects, so that their construction
// shows as a step of its own.
CStartupTrace g_trace __attribute__((init_priority(101)));

} // namespace
