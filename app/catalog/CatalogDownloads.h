// Downloading catalogue items: the requests from pages, from a second
// instance and from the pending list at start.
#pragma once

#include <windows.h>

// Adds the item to its local list and queues its package; questionKind
// chooses the follow-up question (1 theme, 2 wallpaper).
void AddItemAndDownload(HWND mainWnd, int itemId, int listKind, int questionKind);

// Resumes or marks the downloads left pending by the last run.
void AutoDownloadPending();
