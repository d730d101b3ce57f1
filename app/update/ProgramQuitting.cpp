#include "app/update/ProgramQuitting.h"

namespace {

// A manual-reset event that lives as long as the process.
HANDLE QuitEvent()
{
    static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

} // namespace

void SignalProgramQuitting()
{
    SetEvent(QuitEvent());
}

bool WaitForProgramQuitting(DWORD ms)
{
    const HANDLE event = QuitEvent();
    if (!event) {
        Sleep(ms);
        return false;
    }
    return WaitForSingleObject(event, ms) == WAIT_OBJECT_0;
}

void ResetProgramQuitting()
{
    ResetEvent(QuitEvent());
}
