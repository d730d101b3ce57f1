// Starting another program. Under Wine, CreateProcessW now and then fails
// with ERROR_INTERNAL_ERROR while the machine is busy, before the new process
// has run any of its code; the start is then tried again a few times. Any
// other failure, or the same one every time, is the caller's.
#pragma once

#include <windows.h>

BOOL StartProcess(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                  LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment, LPCWSTR folder,
                  LPSTARTUPINFOW startup, LPPROCESS_INFORMATION started);
