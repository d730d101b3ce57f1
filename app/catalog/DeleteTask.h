// Deleting a catalogue item the user has downloaded or is downloading.
#pragma once

#include <windows.h>

// Stops the item's download, then asks the user; only a "yes" removes the
// item's files and then its list entry: for state 1 (finished) the package,
// the installed theme and the unpacked theme or wallpaper folder, for any
// other state the part files of the unfinished download, and for state 2
// (after a failed installation) also the package and its unpacked folder. A
// file that cannot be deleted is reported and keeps the entry; a list that
// cannot be written is reported and keeps the item as it is. TRUE when the
// entry was removed.
BOOL DeleteTask(int itemId, int state, int kind);
