#include "base/StartProcess.h"

BOOL StartProcess(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                  LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment, LPCWSTR folder,
                  LPSTARTUPINFOW startup, LPPROCESS_INFORMATION started)
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
