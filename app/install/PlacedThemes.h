// The themes this program placed into the Windows theme folder, by name:
// "Data\PlacedThemes.txt" in the program folder, one name a line, UTF-8.
// A theme file or visual-style folder there whose name is not recorded is
// someone else's (Windows' own "aero", "Luna", another program's), and the
// program neither overwrites nor deletes it.
#pragma once

#include "base/RefString.h"

// Names compare without regard to case, as the file system does.
bool IsPlacedTheme(const CString& name);
// False when the record could not be saved.
bool RecordPlacedTheme(const CString& name);
bool ForgetPlacedTheme(const CString& name);
