// Deleting a catalogue item the user has downloaded or is downloading.
#pragma once

#include <windows.h>

// Stops the item's download, then asks the user; only a "yes" removes the
// list entry and the item's files: for state 1 (finished) the package and
// the installed theme or unpacked wallpaper, for any other state the part
// files of the unfinished download. TRUE when the entry was removed.
BOOL DeleteTask(int itemId, int state, int kind);
