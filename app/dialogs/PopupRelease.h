// What the pop-ups share: placing a created pop-up at the screen corner, and
// freeing a modeless one once its window is gone.
#pragma once

#include <windows.h>

#include <memory>

class CSkDialogImplBase;

// Layout ids of the two pop-ups.
constexpr UINT kSetHomePopupLayout = 130;
constexpr UINT kFinishedPopupLayout = 131;

// What a corner pop-up made with new carries: whether its window owns it
// yet. Its final-message hook frees it only then (ReleaseOwnedPopup).
class CCornerPopup {
public:
    bool m_ownedByWindow = false;
};

// Creates the pop-up from its layout with the desktop as parent, makes it a
// tool window and shows it topmost at the bottom-right corner. Null when no
// window was made, or the window went away while it was made.
HWND CreatePopupAtCorner(CSkDialogImplBase& popup);

// The final-message step of a pop-up made with new: deletes it at once when
// its view window is gone, else on a thread that waits for that.
void ReleasePopup(CSkDialogImplBase* popup);

// A pop-up's final-message hook: ReleasePopup once its window owns it.
template <typename Popup> void ReleaseOwnedPopup(Popup* popup)
{
    if (popup->m_ownedByWindow)
        ReleasePopup(popup);
}

// Shows the pop-up at the corner; from then on it frees itself once its
// window is gone. False, with the pop-up freed, when no window stays up.
template <typename Popup> bool ShowPopupAtCorner(std::unique_ptr<Popup> popup)
{
    if (!CreatePopupAtCorner(*popup)) {
        ReleasePopup(popup.release());
        return false;
    }
    popup.release()->m_ownedByWindow = true;
    return true;
}

// Polls the pop-up's view window every 100 ms; deletes the pop-up once the
// window is gone.
void __cdecl WaitAndReleaseThread(void* popup);
