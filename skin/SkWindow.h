// The root of every skin item: a windowless element that owns a rectangle
// in the client area of one view window, draws itself into the view's back
// buffer and reacts to pseudo-messages (Win32 message numbers reused, sent
// with SendSkMessage). Items refer to one another by registry handle only.
#pragma once

#include <windows.h>

#include "base/RefString.h"
#include "skin/SkObject.h"
#include "skin/SkStyle.h"

// Pseudo-messages.
constexpr UINT SKM_CREATE = WM_CREATE;          // handled, result 1
constexpr UINT SKM_DESTROY = WM_DESTROY;        // the item is about to go; containers drop their children
constexpr UINT SKM_PAINT = WM_PAINT;            // wParam HDC: draw the content
constexpr UINT SKM_SHOW = WM_SHOWWINDOW;        // wParam nonzero shows, zero hides
constexpr UINT SKM_PLACE = WM_WINDOWPOSCHANGED; // lParam WINDOWPOS*: top-left and space available
constexpr UINT SKM_MEASURE = WM_NCCALCSIZE;     // wParam: the space limits the text; lParam SIZE* in/out
constexpr UINT SKM_MOUSEMOVE = WM_MOUSEMOVE;    // wParam keys, lParam point
constexpr UINT SKM_LBUTTONDOWN = WM_LBUTTONDOWN;
constexpr UINT SKM_LBUTTONUP = WM_LBUTTONUP;
constexpr UINT SKM_MOUSELEAVE = WM_MOUSELEAVE;

// State bits.
constexpr UINT SKS_HOVER = 0x1;
constexpr UINT SKS_PUSHED = 0x2;
constexpr UINT SKS_CHECKED = 0x4;
constexpr UINT SKS_HIDDEN = 0x8;
constexpr UINT SKS_DISABLED = 0x10;

// Layout flags: width and height modes, floating.
constexpr UINT SKL_WIDTH_FIXED = 0x1;
constexpr UINT SKL_WIDTH_AUTO = 0x2;
constexpr UINT SKL_WIDTH_FULL = 0x4;
constexpr UINT SKL_HEIGHT_FIXED = 0x10;
constexpr UINT SKL_HEIGHT_AUTO = 0x20;
constexpr UINT SKL_HEIGHT_FULL = 0x40;
constexpr UINT SKL_NOT_FLOATING = 0x100;
constexpr UINT SKL_FLOATING = 0x200;

// Alignment values.
constexpr UINT SKA_TOP = 0;
constexpr UINT SKA_MIDDLE = 0x1000;
constexpr UINT SKA_BOTTOM = 0x2000;
constexpr UINT SKA_LEFT = 0;
constexpr UINT SKA_CENTER = 0x4000;
constexpr UINT SKA_RIGHT = 0x8000;

// One item of a "pos" rule: an offset from the start, from the end
// ("-"), or from the centre ("|") of a span.
struct SkPosItem {
    BOOL fromCentre;
    BOOL fromEnd;
    int value;
};

// The coordinate a pos item gives in the span lo .. hi.
int ResolvePos(const SkPosItem& item, int lo, int hi);

class CSkWindow : public CSkObject {
public:
    CSkWindow();
    CSkWindow(const CSkWindow&) = delete;
    CSkWindow& operator=(const CSkWindow&) = delete;
    ~CSkWindow() override;

    BOOL LoadFromXml(const TiXmlElement* element) override;
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;

    virtual void UpdateCursor();
    virtual void SetHostWindow(HWND hwnd);
    // The item's handle when the point (view client coordinates) is in it.
    virtual UINT HitTest(POINT point);
    virtual BOOL RedrawsOnStateChange();
    virtual BOOL IsContainer() const;
    virtual BOOL DrawInRegion(HDC hdc, HRGN region);
    virtual BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // TRUE for items that take clicks themselves (buttons, links, tab
    // controls ...): a press on one never starts a caption drag, in the
    // header as in the body.
    virtual BOOL HandlesClicks() const { return FALSE; }

    // Handles one pseudo-message. An item destroyed while it handles the
    // message (by an owner it notified) is freed only after this returns;
    // a destroyed item handles nothing more.
    LRESULT SendSkMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Taken out of the registry because its container destroyed it; the
    // object itself goes once the code using it has returned.
    void Retire();
    BOOL IsRetired() const noexcept { return m_retired; }

    // Replaces the text (null: empty) and measures an auto-sized item again,
    // keeping its top-left. Redraws nothing.
    void SetText(const wchar_t* text);

    void ParsePos(const char* value, BOOL loading);
    // Pseudo-message SKM_MEASURE: size in is the space, out the wanted size.
    void MeasureItem(BOOL limited, SIZE& size);
    // Pseudo-message SKM_PLACE.
    void PlaceItem(const WINDOWPOS& place);
    // Leaf painting: the text in the text rectangle with the style applied.
    void DrawItemText(HDC hdc);

    // The containing item, or null for a top panel or a parent that is gone.
    CSkWindow* Parent() const;
    BOOL IsDisabledInTree() const; // the item or an ancestor has SKS_DISABLED
    BOOL IsHiddenInTree() const;   // the item or an ancestor has SKS_HIDDEN
    BOOL IsHovered() const { return (m_state & SKS_HOVER) != 0; }

    UINT m_handle;
    UINT m_parentHandle = 0;
    HWND m_hostWindow = nullptr;
    UINT m_id = 0;
    RECT m_rect = {};
    UINT m_layoutFlags = 0;
    SkStyle m_style;
    CString m_text;
    int m_fixedWidth = 0;
    int m_fixedHeight = 0;
    UINT m_state = 0;
    UINT m_valign = SKA_TOP;
    UINT m_align = SKA_LEFT;
    CString m_href;
    int m_transparent = 0;
    CString m_tip;
    int m_posCount = 0;
    SkPosItem m_pos[4] = {};
    BOOL m_handled = FALSE;

private:
    BOOL m_retired = FALSE;

    void SubstituteSkinStrings();
    void ApplySizeRules(const TiXmlElement* element);
    HFONT MeasuringFont() const;
    void FillBackground(HDC hdc) const;
};
