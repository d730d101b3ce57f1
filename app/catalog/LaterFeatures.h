// Steps of the road that belong to features still to come: installing a
// package, removing an installed theme, the usage count and the
// download-finished pop-up.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// Unpacks and applies the item's package on a thread of its own, with its
// own copy of id and kind.
void InstallPackageThread(int itemId, int kind);

// Removes the installed theme of this name from the Windows theme folder.
void RemoveThemePackage(const CString& name);

// Counts today as a day the program was used.
void CountActiveDay();

// Shows the download-finished pop-up of the item in the screen corner.
void ShowDownloadFinishedPopup(const CString& name, int itemId, int kind);
