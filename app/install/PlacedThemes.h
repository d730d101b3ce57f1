// The themes this program placed into the Windows theme folder, by name:
// "Data\PlacedThemes.txt" in the program folder, one name a line, UTF-8.
// A theme file or visual-style folder there whose name is not recorded is
// someone else's (another program's), and the program neither overwrites nor
// deletes it; Windows' own themes never count as placed.
#pragma once

#include "base/RefString.h"

// "Data\PlacedThemes.txt" in the program folder.
CString PlacedThemesPath();

// True for the name of a theme Windows itself ships ("aero", "Luna",
// "Royale", "classic" and the rest), in any letter case. Such a theme is
// never this program's, whatever the record says.
bool IsWindowsThemeName(const CString& name);

// Names compare without regard to case, as the file system does. False for
// Windows' own themes.
bool IsPlacedTheme(const CString& name);
// False when the record could not be saved, and for Windows' own themes.
bool RecordPlacedTheme(const CString& name);
bool ForgetPlacedTheme(const CString& name);
