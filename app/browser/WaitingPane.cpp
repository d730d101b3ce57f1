#include "app/browser/WaitingPane.h"

#include "base/Handle.h"
#include "base/WindowClass.h"
#include "skin/SkFontPool.h"

const wchar_t kWaitingText[] = L"正在读取信息...";

namespace {

const CWindowClass& PaneClass()
{
    static CWindowClass cls(0, LoadCursorW(nullptr, IDC_ARROW));
    return cls;
}

} // namespace

HWND CWaitingPane::CreatePane(HWND parent, UINT id)
{
    const RECT none = {};
    return Create(PaneClass(), parent, none, L"", WS_CHILD | WS_VISIBLE, 0, id);
}

void CWaitingPane::SetBackgroundColor(COLORREF color)
{
    m_crBackground = color;
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CWaitingPane::PaintWaiting(HDC hdc, const RECT& rect) const
{
    CBrushHandle brush(CreateSolidBrush(m_crBackground));
    FillRect(hdc, &rect, brush);
    CSelectObject font(hdc, SkFontPool::Instance().FontForStyle(0));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0x49, 0x58, 0x63));
    RECT text = rect;
    DrawTextW(hdc, kWaitingText, -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

BOOL CWaitingPane::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd, &client);
        PaintWaiting(reinterpret_cast<HDC>(wParam), client);
        result = 1;
        return TRUE;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        PaintWaiting(hdc, client);
        EndPaint(hwnd, &ps);
        result = 0;
        return TRUE;
    }
    default:
        return FALSE;
    }
}
