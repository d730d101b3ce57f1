// What every skin dialog shares, whatever its class: the view, the layout,
// creation of the borderless window, the modal loop, and the messages all
// skin dialogs handle alike. CSkDialogImpl<T, ...> (skin/SkDialogImpl.h)
// adds the window class of T and the frame; dialogs derive from that.
#pragma once

#include <windows.h>

#include "base/WindowImpl.h"
#include "skin/SkDialogView.h"

class CWindowClass;

class CSkDialogImplBase : public CWindowImpl {
public:
    // Loads the layout resource (type "xml") into the view. FALSE when the
    // resource is missing or the layout is refused.
    BOOL LoadLayout(UINT id);

    // Makes the window and the view for the owner (the layout resource is
    // loaded first when the view has none yet), sends WM_INITDIALOG, shows
    // the real windows of the layout and gives the window the layout's
    // client size. Null when there is no layout or no window, or when the
    // dialog destroyed itself in WM_INITDIALOG.
    HWND Create(HWND owner);

    // Runs the dialog modally, owned by the thread's active skin dialog or
    // else the active window, which stays disabled meanwhile. Returns the
    // code given to EndDialog; 0 when the window could not be made.
    int DoModal();
    // The message loop; it ends on EndDialog, when the window is gone, or on
    // WM_QUIT, which it leaves in the queue for the loops outside.
    void RunModalLoop();
    // Ends the modal loop with the code, even when no further message comes.
    void EndDialog(int code);
    // Gives the window a client area of cx x cy, keeping its top-left.
    void ResizeClient(int cx, int cy);

    CSkDialogView m_view;
    UINT m_layoutId; // 0: the dialog loads its layout itself before Create
    int m_endCode = 0;
    BOOL m_show = TRUE; // cleared in WM_INITDIALOG, the dialog starts hidden
    BOOL m_end = FALSE; // ends the modal loop
    // Set before Create: the view gets its tooltip only when the dialog asks
    // for it (CSkDialogView::CreateTooltip), not with the window.
    BOOL m_tooltipLater = FALSE;

protected:
    explicit CSkDialogImplBase(UINT layoutId) : m_layoutId(layoutId) {}

    // The window class of the dialog's own class.
    virtual const CWindowClass& DialogWindowClass() const = 0;

    // The messages every skin dialog handles alike; TRUE when taken.
    BOOL ProcessSkinDialogMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void OnNcCalcSize(BOOL calcValidRects, LPARAM lParam);
    void OnGetMinMaxInfo(MINMAXINFO& info);
    void OnSize(WPARAM type);
    void OnKeyDown(WPARAM key);
    void OnOK();
    void OnCancel();

private:
    void SendItemClick(UINT itemId);
    void ShowLayoutRealWindows();
};

// The class style of the dialog windows: CS_DBLCLKS | CS_HREDRAW |
// CS_VREDRAW, with CS_DROPSHADOW from Windows XP on.
UINT SkinDialogClassStyle();
