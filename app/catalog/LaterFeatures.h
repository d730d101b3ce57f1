// Steps of the road that belong to features still to come: the usage count
// and the download-finished pop-up.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// Counts today as a day the program was used.
void CountActiveDay();

// Shows the download-finished pop-up of the item in the screen corner.
void ShowDownloadFinishedPopup(const CString& name, int itemId, int kind);
