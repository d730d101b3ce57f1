// The program's end as the update check sees it: the main window says so
// when it goes, and the check's waits end at once instead of holding the
// end back.
#pragma once

#include <windows.h>

// Called by the main window when it is destroyed; stays set.
void SignalProgramQuitting();
// Waits up to ms milliseconds; true as soon as the program is quitting.
bool WaitForProgramQuitting(DWORD ms);
inline bool IsProgramQuitting()
{
    return WaitForProgramQuitting(0);
}
// Clears the signal, for a process that makes a main window again (tests).
void ResetProgramQuitting();
