// The Windows folders that themes are installed into, and the Windows
// version the theme code chooses its way by.
#pragma once

#include "base/RefString.h"

// GetWindowsDirectoryW and GetSystemDirectoryW, without a trailing backslash.
CString WindowsDirectory();
CString SystemDirectory();
// The Windows folder + "\Resources\Themes".
CString ThemesDirectory();

// Windows 8 and its like (6.2 and 6.3): the Display control panel only
// shows its theme page; a theme file handed to it is not applied.
bool ThemePageOnly();
// Windows XP and older: the Display dialog, run from the outside.
bool DisplayDialogWindows();
