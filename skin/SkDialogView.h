// The view: the one child window (control id 1000) that covers the client
// area of a skin dialog. It owns the three item trees of the layout
// (header, body, footer), places them, paints them through a back buffer,
// tracks the mouse over items (hover, pushed, capture, cursor, tooltip),
// turns clicks into SKN_ITEM_CLICK notifications to its parent and passes
// the messages of hosted real windows on to the parent.
#pragma once

#include <windows.h>

#include <string>

#include "base/Handle.h"
#include "base/RefString.h"
#include "base/WindowImpl.h"
#include "skin/SkDialog.h"
#include "skin/SkNotify.h"
#include "skin/SkViewImpl.h"

class CWindowClass;

// Style of the view window: WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP.
constexpr DWORD kSkinViewStyle = 0x52010000;

class CSkDialogView : public CWindowImpl, public CSkViewImpl<CSkDialogView> {
public:
    CSkDialogView();
    ~CSkDialogView() override;

    // Its window class (CS_DBLCLKS, so that double clicks arrive).
    static const CWindowClass& GetWndClassInfo();

    // Makes the view window as a child of parent with the given control id,
    // hands it to the three panels and gives it a tooltip control. Nothing
    // happens when the window exists already. The window, or null.
    HWND CreateWithTooltip(HWND parent, UINT id);
    // As CreateWithTooltip, without the tooltip control, which CreateTooltip
    // adds later.
    HWND CreateWithoutTooltip(HWND parent, UINT id);
    // Gives the view window its tooltip control, once. The common controls
    // library is loaded for it here: a program whose first window leaves its
    // tooltip until after its first paint loads that library only then.
    void CreateTooltip();

    // Reads a layout (a "layer" element) into the three panels, the title,
    // the size and the window styles. FALSE for a text that does not parse
    // or whose first element is not "layer".
    BOOL SetLayoutXml(const std::string& utf8);
    // Replaces the children of the panel item with that id ("dlg", "tab" or
    // "dlgfile") by the items of the text and repaints it. FALSE, with
    // nothing changed, for another item, an unknown id or a text that does
    // not parse.
    BOOL SetPanelXml(UINT id, const std::string& utf8Xml);

    // The whole view is rendered again.
    void InvalidateLayout();
    void AddDirtyRect(const RECT& rect);
    // Repaints the item's rectangle; with checkHidden nothing happens while
    // the item or an ancestor is hidden.
    void RedrawItem(CSkWindow* item, BOOL checkHidden);
    // Sets and clears state bits; repaints when the item's look follows them.
    void ModifyItemState(CSkWindow* item, UINT add, UINT remove);
    // The item with that id in the header, else the body, else the footer.
    CSkWindow* FindItem(UINT id);

    // Tells the view that the button press it is handling has become the
    // system's move or size loop: the press ends here, so the button-up
    // that follows it never becomes a click.
    void CancelPress();

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    CSkDialog m_header;
    CSkDialog m_body;
    CSkDialog m_footer;
    UINT m_hoverHandle = 0;
    BOOL m_capture = FALSE;
    BOOL m_maximisable = FALSE; // the layout has "resize" and no "nomaxsize"
    int m_width = 0;            // client size from the layout; 0 = keep the dialog's
    int m_height = 0;
    CBitmapHandle m_backBuffer;
    UINT m_pushedHandle = 0;
    BOOL m_tracking = FALSE; // a TME_LEAVE request is active
    CString m_title;
    DWORD m_style = 0; // for the dialog window
    DWORD m_exStyle = 0;
    BOOL m_headerPresent = FALSE;
    BOOL m_bodyPresent = FALSE;
    BOOL m_footerPresent = FALSE;
    BOOL m_layoutLoaded = FALSE;
    BOOL m_dirty = FALSE;
    BOOL m_fullRepaint = TRUE;
    HWND m_tooltip = nullptr;
    CRgnHandle m_dirtyRegion; // null: the whole view

private:
    void SetTipText(const CString& tip);
    void Notify(UINT code);

    void OnSize(int cx, int cy);
    void PlacePanels(int cx, int cy);
    void Render(HDC target);
    void RenderDirtyPart();

    // Mouse handling (SkDialogViewMouse.cpp).
    void RelayToTooltip(UINT msg, WPARAM wParam, LPARAM lParam);
    UINT HitTestPanels(POINT point);
    void OnMouseMove(WPARAM keys, LPARAM lParam);
    void OnMouseLeave();
    void OnLButtonDown(WPARAM keys, LPARAM lParam);
    void OnLButtonUp(WPARAM keys, LPARAM lParam);
    void OnLButtonDblClk(WPARAM keys, LPARAM lParam);
    BOOL OnSetCursor(WPARAM wParam, LPARAM lParam);
    BOOL ForwardsMouseToParent() const { return (m_style & WS_THICKFRAME) != 0; }
    void ClearPushed();
    void ReleaseViewCapture();

    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);

    BOOL m_pressCancelled = FALSE;
};
