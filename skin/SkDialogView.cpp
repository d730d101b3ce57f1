#include "skin/SkDialogView.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/AppModule.h"
#include "base/NotifyRecord.h"
#include "base/Reflection.h"
#include "base/WindowClass.h"
#include "skin/SkFontPool.h"
#include "skin/SkImageDraw.h"
#include "skin/SkItemRegistry.h"
#include "skin/SkItemRelease.h"
#include "skin/SkWinManager.h"

namespace {

// The whole tool structure: 48 bytes in the 32-bit program.
constexpr UINT kToolInfoSize = sizeof(TOOLINFOW);
#if !defined(_WIN64)
static_assert(kToolInfoSize == 48, "TOOLINFOW");
#endif

// The one tool of a view: the whole view window, owned by its parent.
TOOLINFOW ViewTool(HWND view, LPWSTR text)
{
    TOOLINFOW tool = {};
    tool.cbSize = kToolInfoSize;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = GetParent(view);
    tool.uId = reinterpret_cast<UINT_PTR>(view);
    tool.hinst = ThisModuleInstance();
    tool.lpszText = text;
    return tool;
}

// Registers the tooltip class through the common controls library, loaded
// on first use (the program's manifest gives it version 6). The library
// stays loaded: its windows may live as long as the process.
void InitTooltipClass()
{
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const InitCommonControlsExFn init = [] {
        HMODULE library = LoadLibraryW(L"comctl32.dll");
        return library ? reinterpret_cast<InitCommonControlsExFn>(
                             reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")))
                       : nullptr;
    }();
    const INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    if (init)
        init(&controls);
}

} // namespace

CSkDialogView::CSkDialogView() = default;

CSkDialogView::~CSkDialogView()
{
    m_header.SendSkMessage(SKM_DESTROY);
    m_body.SendSkMessage(SKM_DESTROY);
    m_footer.SendSkMessage(SKM_DESTROY);
}

const CWindowClass& CSkDialogView::GetWndClassInfo()
{
    static CWindowClass cls(CS_DBLCLKS);
    return cls;
}

HWND CSkDialogView::CreateWithTooltip(HWND parent, UINT id)
{
    if (m_hWnd)
        return m_hWnd;
    if (!CreateWithoutTooltip(parent, id))
        return nullptr;
    CreateTooltip();
    m_dirtyRegion.Reset();
    return m_hWnd;
}

HWND CSkDialogView::CreateWithoutTooltip(HWND parent, UINT id)
{
    if (m_hWnd)
        return m_hWnd;
    if (!Create(GetWndClassInfo(), parent, RECT{}, m_title, kSkinViewStyle, 0, id))
        return nullptr;
    m_header.SetHostWindow(m_hWnd);
    m_body.SetHostWindow(m_hWnd);
    m_footer.SetHostWindow(m_hWnd);
    m_dirtyRegion.Reset();
    return m_hWnd;
}

void CSkDialogView::CreateTooltip()
{
    if (!m_hWnd || m_tooltip)
        return;
    InitTooltipClass();
    m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, m_hWnd, nullptr, ThisModuleInstance(), nullptr);
    if (!m_tooltip)
        return;
    TOOLINFOW tool = ViewTool(m_hWnd, LPSTR_TEXTCALLBACKW);
    SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
}

void CSkDialogView::SetTipText(const CString& tip)
{
    if (!m_tooltip)
        return;
    // The tooltip copies the text; it never writes to it.
    TOOLINFOW tool = ViewTool(m_hWnd, const_cast<LPWSTR>(tip.GetString()));
    SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CSkDialogView::Notify(UINT code)
{
    NMHDR hdr = {m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID(m_hWnd)), code};
    SendNotifyRecord(GetParent(m_hWnd), hdr.idFrom, hdr);
}

void CSkDialogView::InvalidateLayout()
{
    m_fullRepaint = TRUE;
    m_dirty = TRUE;
    m_dirtyRegion.Reset();
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CSkDialogView::AddDirtyRect(const RECT& rect)
{
    if (!m_dirtyRegion) {
        m_dirtyRegion.Reset(CreateRectRgnIndirect(&rect));
    } else {
        CRgnHandle part(CreateRectRgnIndirect(&rect));
        CombineRgn(m_dirtyRegion, m_dirtyRegion, part, RGN_OR);
    }
    if (m_hWnd && IsWindow(m_hWnd))
        InvalidateRect(m_hWnd, &rect, FALSE);
    m_dirty = TRUE;
}

void CSkDialogView::RedrawItem(CSkWindow* item, BOOL checkHidden)
{
    if (!item || (checkHidden && item->IsHiddenInTree()))
        return;
    AddDirtyRect(item->m_rect);
}

void CSkDialogView::ModifyItemState(CSkWindow* item, UINT add, UINT remove)
{
    if (!item)
        return;
    item->m_state = (item->m_state | add) & ~remove;
    if (item->RedrawsOnStateChange())
        RedrawItem(item, TRUE);
}

CSkWindow* CSkDialogView::FindItem(UINT id)
{
    for (CSkDialog* panel : {&m_header, &m_body, &m_footer})
        if (CSkWindow* found = panel->FindItemById(id))
            return found;
    return nullptr;
}

void CSkDialogView::OnSize(int cx, int cy)
{
    m_backBuffer.Reset();
    if (cx == 0)
        return;
    HBITMAP bitmap = nullptr;
    if (CreateBackBuffer(bitmap, cx, cy))
        m_backBuffer.Reset(bitmap);
    PlacePanels(cx, cy);
}

// Header at the top at its own height, footer at the bottom at its own
// height, body in between.
void CSkDialogView::PlacePanels(int cx, int cy)
{
    if (cx == 0)
        return;
    WINDOWPOS place = {};
    place.cx = cx;
    place.cy = cy;
    place.flags = SWP_SHOWWINDOW;
    if (m_headerPresent)
        m_header.SendSkMessage(SKM_PLACE, 0, reinterpret_cast<LPARAM>(&place));

    int footerTop = cy;
    if (m_footerPresent) {
        WINDOWPOS footer = place;
        m_footer.SendSkMessage(SKM_PLACE, 0, reinterpret_cast<LPARAM>(&footer));
        const int height = m_footer.m_rect.bottom - m_footer.m_rect.top;
        footer.y = cy - height;
        footer.cy = height;
        m_footer.SendSkMessage(SKM_PLACE, 0, reinterpret_cast<LPARAM>(&footer));
        footerTop = m_footer.m_rect.top;
    }

    if (m_bodyPresent) {
        WINDOWPOS body = place;
        body.y = m_headerPresent ? m_header.m_rect.bottom : 0;
        body.cy = footerTop - body.y;
        m_body.SendSkMessage(SKM_PLACE, 0, reinterpret_cast<LPARAM>(&body));
    }
    InvalidateLayout();
}

void CSkDialogView::Render(HDC target)
{
    if (m_fullRepaint) {
        m_dirtyRegion.Reset();
        m_fullRepaint = FALSE;
    }
    if (!m_backBuffer)
        return;
    if (m_dirty)
        RenderDirtyPart();
    const SIZE size = BitmapSize(m_backBuffer);
    CMemoryDc source(CreateCompatibleDC(target));
    CSelectObject select(source, m_backBuffer);
    BitBlt(target, 0, 0, size.cx, size.cy, source, 0, 0, SRCCOPY);
}

void CSkDialogView::RenderDirtyPart()
{
    CSkPaintLock lock;
    CWindowDc screen(nullptr);
    CMemoryDc dc(CreateCompatibleDC(screen));
    const int saved = SaveDC(dc);
    SelectObject(dc, m_backBuffer);
    SelectObject(dc, SkFontPool::Instance().FontForStyle(0));
    SetBkMode(dc, TRANSPARENT);
    if (m_dirtyRegion)
        SelectClipRgn(dc, m_dirtyRegion);
    if (m_headerPresent)
        m_header.DrawInRegion(dc, m_dirtyRegion);
    if (m_bodyPresent)
        m_body.DrawInRegion(dc, m_dirtyRegion);
    if (m_footerPresent)
        m_footer.DrawInRegion(dc, m_dirtyRegion);
    m_dirtyRegion.Reset();
    RestoreDC(dc, saved);
    m_dirty = FALSE;
}

LRESULT CSkDialogView::OnNotify(WPARAM wParam, LPARAM lParam)
{
    // What is not the skin's own or a control's of this view on this thread
    // is only passed on, unread.
    const auto* ours = OurNotifyRecord<NMHDR>(m_hWnd, lParam);
    if (ours && ours->code == SKN_INVALIDATE_RECT) {
        if (const auto* repaint = OurNotifyRecord<SkInvalidateRectNotify>(m_hWnd, lParam))
            AddDirtyRect(repaint->rect);
        return 0;
    }
    if (!ours && ControlNotifyRecord<NMHDR>(m_hWnd, lParam, static_cast<UINT>(NM_CUSTOMDRAW))) {
        LRESULT result = 0;
        if (ReflectNotifications(m_hWnd, WM_NOTIFY, wParam, lParam, result))
            return result;
    }
    return SendMessageW(GetParent(m_hWnd), WM_NOTIFY, wParam, lParam);
}

BOOL CSkDialogView::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    // Items the owner replaces while the view is at work with them (it
    // passes their notifications on) are freed only after the message.
    CSkItemUseScope inUse;
    if (msg >= WM_MOUSEFIRST && msg <= WM_XBUTTONDBLCLK)
        RelayToTooltip(msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        Render(dc);
        EndPaint(hwnd, &paint);
        result = 0;
        return TRUE;
    }
    case WM_PRINT:
        Render(reinterpret_cast<HDC>(wParam));
        result = 0;
        return TRUE;
    case WM_ERASEBKGND:
        result = 1;
        return TRUE;
    case WM_SIZE:
        OnSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        result = 0;
        return TRUE;
    case WM_DESTROY:
        m_backBuffer.Reset();
        m_tooltip = nullptr; // goes with the view, its owner
        return FALSE;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        result = 0;
        return TRUE;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        result = 0;
        return TRUE;
    case WM_LBUTTONDOWN:
        OnLButtonDown(wParam, lParam);
        result = 0;
        return TRUE;
    case WM_LBUTTONUP:
        OnLButtonUp(wParam, lParam);
        result = 0;
        return TRUE;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(wParam, lParam);
        result = 0;
        return TRUE;
    case WM_SETCURSOR:
        result = OnSetCursor(wParam, lParam);
        return TRUE;
    case WM_MOUSEWHEEL:
        result = 0;
        return TRUE;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        result = SendMessageW(GetParent(hwnd), msg, wParam, lParam);
        return TRUE;
    case WM_NOTIFY:
        result = OnNotify(wParam, lParam);
        return TRUE;
    default:
        return ReflectNotifications(hwnd, msg, wParam, lParam, result);
    }
}
