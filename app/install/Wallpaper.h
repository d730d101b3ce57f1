// Setting the desktop wallpaper through the shell's Active Desktop.
#pragma once

#include "base/RefString.h"

// Sets the image as wallpaper and applies the change. Any thread may call
// it: it opens and closes COM for itself. False when the shell refused.
bool SetWallpaper(const CString& image);
