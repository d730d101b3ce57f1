// Installing a downloaded item: its package is unpacked with its password
// into the theme or wallpaper folder below the download root, then the
// wallpaper is set or the theme installed and opened. What fails is told
// to the user, who is then offered to delete the item.
#pragma once

#include <windows.h>

#include "base/Handle.h"
#include "base/RefString.h"

// kind: 2 a wallpaper, anything else a theme; id: the item id as decimal
// text. True once the package was unpacked and, for a theme, put in place,
// whether or not applying it worked.
bool InstallPackage(int kind, const CString& id);

// The page's apply call and the download-finished pop-up's apply button.
void RunItem(int id, int kind);

// One item for the installation thread; each thread has its own.
struct InstallRequest {
    int id;
    int kind;
};
// The installation thread's work.
void InstallPackageThread(InstallRequest request);
// Starts the installation of a finished wallpaper on a thread of its own.
// Its handle may be dropped; an empty one means no thread was started.
CHandle StartInstallPackageThread(int id, int kind);

// What a failed installation offers the user: deleting the item (state 2).
// The catalogue's DeleteTask; tests put an observer here.
using DeleteOffer = BOOL (*)(int id, int state, int kind);
extern DeleteOffer g_offerDelete;
