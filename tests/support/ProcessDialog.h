// Message boxes of another process, for tests that answer them from outside.
#pragma once

#include <windows.h>

// The first visible dialog ("#32770") of the process, or null: a plain
// message box is visible once its text is set.
HWND FindMessageBox(DWORD processId);
