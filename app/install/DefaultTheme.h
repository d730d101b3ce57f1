// Applying themes and wallpapers, and going back to the Windows default.
#pragma once

// Puts the default Windows theme back (the main window's footer link).
void RestoreDefaultTheme();
