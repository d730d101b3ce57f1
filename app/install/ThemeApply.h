// Installing an unpacked theme into the Windows folders and opening it
// through the Display control panel, and removing an installed theme.
#pragma once

#include <windows.h>

#include "app/install/VisualStyle.h"
#include "base/RefString.h"

// The path when it names an existing folder, else "".
CString PickExistingDirectory(const CString& path);

// True when a theme of this name may go into the Windows theme folder: it is
// not one of Windows' own themes, and neither its theme file nor its
// visual-style folder is there, or both are this program's own (recorded as
// placed) and of the right kind.
bool CanPlaceTheme(const CString& name);
// True when the unpacked package's paths are of the kind the installation
// moves: the visual style and "Cursors" folders, the theme file a file.
bool IsThemePackageSound(const CString& packageFolder, const CString& name);

// What became of a theme package.
enum class ThemeApplyResult {
    NotPlaced, // nothing, or not all, of it reached the Windows theme folder
    NotOpened, // in place, but the control panel did not take it
    Applied,
};

// Moves the package folder's cursors, visual style and theme file into the
// Windows folders, records the theme as placed, and applies it: through its
// ".theme" file when the package has one, else by setting its visual style
// and wallpaper. NotPlaced for an empty folder, a name that is not a plain
// file name, is one of Windows' own themes or is taken in the theme folder by
// someone else, a package whose paths are of the wrong kind or that holds no
// visual style, a record of placed themes that cannot be written, or a move
// that failed.
ThemeApplyResult ApplyThemePackage(const CString& packageFolder, const CString& name);

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

// Deletes the theme file and visual-style folder this program placed under
// the name (nothing of anyone else's); when the theme is in use, the default
// theme is opened first, and nothing is deleted unless it could be applied.
// Cursors stay. True when nothing placed under the name is left.
bool RemoveThemePackage(const CString& name, CurrentThemeFileReader currentTheme = CurrentThemeFile);

// The part of the visual-style file from the first "<folder>\" on, the
// whole path when that does not occur.
CString ThemeFileFrom(const CString& file, const CString& folder);
