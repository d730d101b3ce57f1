// A plain child window that stands where a page is shown and paints the
// waiting text "正在读取信息..." on its background colour in the default
// skin font. The main window's two page areas (control ids 114 and 115) are
// such panes until the browser host takes their place.
#pragma once

#include <windows.h>

#include "base/WindowImpl.h"

extern const wchar_t kWaitingText[];

class CWaitingPane : public CWindowImpl {
public:
    // Makes the pane as a child of parent with style WS_CHILD | WS_VISIBLE
    // and the control id; null when it could not be made.
    HWND CreatePane(HWND parent, UINT id);

    void SetBackgroundColor(COLORREF color);
    COLORREF BackgroundColor() const noexcept { return m_crBackground; }

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Fills the rectangle with the background and draws the waiting text.
    void PaintWaiting(HDC hdc, const RECT& rect) const;

private:
    COLORREF m_crBackground = RGB(0xFF, 0xFF, 0xFF);
};
