// Starting a program from a test. Under Wine, CreateProcessW now and then
// fails with ERROR_INTERNAL_ERROR while the machine is busy, before the new
// process has run any of its code (seen when several test runs shared the
// machine); the start is then tried again a few times. Any other failure,
// or the same one every time, is the caller's to report.
#pragma once

#include <windows.h>

inline BOOL StartTestProcess(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                             LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                             LPCWSTR folder, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION started)
{
    const int kTries = 8;
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(application, commandLine, process, thread, inherit, flags, environment, folder,
                           startup, started))
            return TRUE;
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == kTries) {
            SetLastError(error);
            return FALSE;
        }
        // Nothing to wait on: give the busy machine a moment.
        Sleep(100 * attempt);
    }
}
