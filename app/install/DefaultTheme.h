// Going back to the Windows default theme.
#pragma once

#include "app/install/VisualStyle.h"

// Puts the default Windows theme back (the main window's footer link). On
// XP only when it is not in use already, telling the user when that cannot
// be found out or the theme cannot be applied.
void RestoreDefaultTheme(CurrentThemeFileReader currentTheme = CurrentThemeFile);
