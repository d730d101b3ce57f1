// Deleting a listed item: its download, its list entry and its files, after
// the user agrees.
#pragma once

#include <windows.h>

// state: 1 a finished item, 2 after a failed installation, anything else an
// unfinished download. TRUE when the list entry was removed.
BOOL DeleteTask(int id, int state, int kind);
