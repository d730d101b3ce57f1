// What the pop-ups share: placing a created pop-up at the screen corner, and
// freeing a modeless one once its window is gone.
#pragma once

#include <windows.h>

class CSkDialogImplBase;

// Layout ids of the two pop-ups.
constexpr UINT kSetHomePopupLayout = 130;
constexpr UINT kFinishedPopupLayout = 131;

// Creates the pop-up from its layout with the desktop as parent, makes it a
// tool window and shows it topmost at the bottom-right corner. False when
// its layout is missing: the caller then still owns the object. Once a
// window was made the object belongs to it, even when making it failed.
bool ShowPopupAtCorner(CSkDialogImplBase& popup);

// The final-message step of a pop-up made with new: deletes it at once when
// its view window is gone, else on a thread that waits for that.
void ReleasePopup(CSkDialogImplBase* popup);

// Polls the pop-up's view window every 100 ms; deletes the pop-up once the
// window is gone.
void __cdecl WaitAndReleaseThread(void* popup);
