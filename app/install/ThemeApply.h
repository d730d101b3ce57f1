// Installing an unpacked theme into the Windows folders and opening it
// through the Display control panel, and removing an installed theme.
#pragma once

#include <windows.h>

#include "app/install/VisualStyle.h"
#include "base/RefString.h"

// The path when it names an existing folder, else "".
CString PickExistingDirectory(const CString& path);

// Moves the package folder's cursors, visual style and theme file into the
// Windows folders and applies the theme: through its ".theme" file when the
// package has one, else by setting its visual style and wallpaper. False at
// once for an empty folder or a name that is not a plain file name.
bool ApplyThemePackage(const CString& packageFolder, const CString& name);

// Opens a theme file in the Display control panel and handles its window
// the way this Windows version needs. The path carries its closing double
// quote (the command line has the opening one). False when the control
// panel could not be started (the user is told), or when its window did not
// show up in time, or when the XP dialog had no OK button.
bool OpenThemeFile(const CString& themePathWithQuote);

// What the window search of OpenThemeFile looks for and finds.
struct ThemeWindowSearch {
    DWORD processId; // 0: the personalisation window of any process
    HWND found;
};
// EnumWindows callback; lParam points to a ThemeWindowSearch. With a process
// id it takes that process's visible dialog ("#32770"), else a window of
// class "CabinetWClass" titled "个性化".
BOOL CALLBACK FindThemeDialogProc(HWND window, LPARAM search);

// Deletes an installed theme's file and visual-style folder; when the theme
// is in use, the default theme is opened first, and nothing is deleted
// unless it could be applied. Cursors stay.
void RemoveThemePackage(const CString& name, CurrentThemeFileReader currentTheme = CurrentThemeFile);

// The part of the visual-style file from the first "<folder>\" on, the
// whole path when that does not occur.
CString ThemeFileFrom(const CString& file, const CString& folder);
