#include "skin/SkDialogImplBase.h"

#include <windowsx.h>

#include <cstdlib>

#include "base/NotifyRecord.h"
#include "base/WindowClass.h"
#include "skin/SkResource.h"
#include "skin/SkWinManager.h"
#include "skin/UxThemeApi.h"

namespace {

// Used when the layout gives no style: WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN.
constexpr DWORD kFallbackStyle = 0x56000000;
// SetWindowPos flags of the hide at the end of a modal run: SWP_HIDEWINDOW |
// SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE.
constexpr UINT kHideFlags = 0x97;

bool IsWindowsXpOrLater()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExW(&version))
        return false;
    return version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion != 0);
}

HWND FindModalOwner()
{
    SkWinManager* manager = SkWinManager::Instance();
    HWND owner = manager ? manager->GetActiveDialog() : nullptr;
    return owner ? owner : GetActiveWindow();
}

RECT WorkAreaOf(HWND hwnd)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

// Centres the window on its owner, or on the work area of its monitor when
// the owner is not a visible, non-minimised window; the window's top-left
// stays inside the work area.
void CentreWindow(HWND hwnd, HWND owner)
{
    const bool onOwner = owner && IsWindowVisible(owner) && !IsIconic(owner);
    const RECT work = WorkAreaOf(onOwner ? owner : hwnd);
    RECT around = work;
    if (onOwner)
        GetWindowRect(owner, &around);
    RECT window;
    GetWindowRect(hwnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = around.left + (around.right - around.left - width) / 2;
    int y = around.top + (around.bottom - around.top - height) / 2;
    if (x + width > work.right)
        x = work.right - width;
    if (y + height > work.bottom)
        y = work.bottom - height;
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

UINT SkinDialogClassStyle()
{
    UINT style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    if (IsWindowsXpOrLater())
        style |= CS_DROPSHADOW;
    return style;
}

BOOL CSkDialogImplBase::LoadLayout(UINT id)
{
    std::string layout;
    if (!LoadResourceData(id, L"xml", layout))
        return FALSE;
    return m_view.SetLayoutXml(layout);
}

HWND CSkDialogImplBase::Create(HWND owner)
{
    if (!m_view.m_layoutLoaded && (!m_layoutId || !LoadLayout(m_layoutId)))
        return nullptr;
    const DWORD style = m_view.m_style ? m_view.m_style : kFallbackStyle;
    const wchar_t* title = m_view.m_title.IsEmpty() ? nullptr : m_view.m_title.GetString();
    HWND created = CWindowImpl::Create(DialogWindowClass(), owner, RECT{}, title, style, m_view.m_exStyle);
    if (!created)
        return nullptr;
    RemoveWindowTheme(created);
    m_view.CreateWithTooltip(created, IDC_SKIN_VIEW);

    m_show = TRUE;
    SendMessageW(created, WM_INITDIALOG, reinterpret_cast<WPARAM>(created), 0);
    ShowLayoutRealWindows();
    if (m_hWnd != created)
        return m_hWnd; // the dialog destroyed itself
    if (m_view.m_width && m_view.m_height)
        ResizeClient(m_view.m_width, m_view.m_height);
    return m_hWnd;
}

void CSkDialogImplBase::ShowLayoutRealWindows()
{
    if (m_view.m_headerPresent)
        m_view.m_header.ShowRealWindows(TRUE);
    if (m_view.m_footerPresent)
        m_view.m_footer.ShowRealWindows(TRUE);
    if (m_view.m_bodyPresent)
        m_view.m_body.ShowRealWindows(TRUE);
}

int CSkDialogImplBase::DoModal()
{
    SkWinManager* manager = SkWinManager::Instance();
    HWND owner = FindModalOwner();
    const bool disabledOwner = owner && owner != GetDesktopWindow() && IsWindowEnabled(owner);
    if (disabledOwner)
        EnableWindow(owner, FALSE);

    m_end = FALSE;
    HWND self = Create(owner);
    if (!self) {
        if (disabledOwner)
            EnableWindow(owner, TRUE);
        return 0;
    }
    HWND previous = manager ? manager->SetActiveDialog(self) : nullptr;
    CentreWindow(self, owner);
    if (m_show)
        SetWindowPos(self, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);

    RunModalLoop();

    m_end = FALSE;
    // The owner is enabled before the dialog goes out of sight, so that the
    // system can hand the activation back to it.
    if (disabledOwner)
        EnableWindow(owner, TRUE);
    if (m_hWnd && IsWindow(m_hWnd))
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, kHideFlags);
    if (owner && GetActiveWindow() == self)
        SetActiveWindow(owner);
    if (manager)
        manager->SetActiveDialog(previous);
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow();
    return m_endCode;
}

void CSkDialogImplBase::RunModalLoop()
{
    MSG msg;
    while (!m_end) {
        // A WM_QUIT stays in the queue for the loops outside.
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT)
            return;
        if (!m_hWnd || !IsWindow(m_hWnd))
            return;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (got == 0) {
            // This loop took the WM_QUIT: post it again for the loops outside.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void CSkDialogImplBase::EndDialog(int code)
{
    m_endCode = code;
    m_end = TRUE;
    // Wakes a GetMessageW that waits, so that the loop sees the flag.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void CSkDialogImplBase::ResizeClient(int cx, int cy)
{
    RECT window;
    RECT client;
    GetWindowRect(m_hWnd, &window);
    GetClientRect(m_hWnd, &client);
    const int width = cx + (window.right - window.left) - (client.right - client.left);
    const int height = cy + (window.bottom - window.top) - (client.bottom - client.top);
    MoveWindow(m_hWnd, window.left, window.top, width, height, FALSE);
}

BOOL CSkDialogImplBase::ProcessSkinDialogMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                                 LRESULT& result)
{
    switch (msg) {
    case WM_NCACTIVATE:
        result = TRUE;
        return TRUE;
    case WM_ERASEBKGND:
        result = 1;
        return TRUE;
    case WM_NCCALCSIZE:
        OnNcCalcSize(static_cast<BOOL>(wParam), lParam);
        result = 0;
        return TRUE;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        result = 0;
        return TRUE;
    case WM_SIZE:
        OnSize(wParam);
        return FALSE; // the frame sees it too
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return FALSE;
    case WM_CLOSE:
        SendMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        result = 0;
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            result = 0;
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            result = 0;
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

// The whole window is client area.
void CSkDialogImplBase::OnNcCalcSize(BOOL calcValidRects, LPARAM lParam)
{
    if (!calcValidRects)
        return;
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    const WINDOWPOS* pos = params->lppos;
    if (!pos || (pos->flags & SWP_NOSIZE))
        return;
    RECT rect;
    if (pos->flags & SWP_NOMOVE) {
        GetWindowRect(m_hWnd, &rect);
    } else {
        rect.left = pos->x;
        rect.top = pos->y;
    }
    rect.right = rect.left + pos->cx;
    rect.bottom = rect.top + pos->cy;
    params->rgrc[0] = rect;
    params->rgrc[1] = rect;
}

// Maximised, the window covers the work area and one pixel more on each side.
void CSkDialogImplBase::OnGetMinMaxInfo(MINMAXINFO& info)
{
    HMONITOR monitor = MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONULL);
    if (!monitor)
        return;
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (!GetMonitorInfoW(monitor, &mi))
        return;
    const RECT& work = mi.rcWork;
    const RECT& area = mi.rcMonitor;
    info.ptMaxPosition.x = std::abs(work.left - area.left) - 1;
    info.ptMaxPosition.y = std::abs(work.top - area.top) - 1;
    info.ptMaxSize.x = work.right - work.left + 2;
    info.ptMaxSize.y = work.bottom - work.top + 2;
    info.ptMaxTrackSize = info.ptMaxSize;
}

void CSkDialogImplBase::OnSize(WPARAM type)
{
    if (type == SIZE_MINIMIZED || !m_view.m_hWnd)
        return;
    RECT client;
    GetClientRect(m_hWnd, &client);
    MoveWindow(m_view.m_hWnd, 0, 0, client.right, client.bottom, TRUE);
}

void CSkDialogImplBase::OnKeyDown(WPARAM key)
{
    if (!IsWindowEnabled(m_hWnd) || (GetKeyState(VK_CONTROL) & 0x8000))
        return;
    if (key == VK_ESCAPE)
        SendMessageW(m_hWnd, WM_COMMAND, IDCANCEL, 0);
    else if (key == VK_RETURN)
        SendMessageW(m_hWnd, WM_COMMAND, IDOK, 0);
}

void CSkDialogImplBase::OnOK()
{
    SendItemClick(IDOK);
}

void CSkDialogImplBase::OnCancel()
{
    SendItemClick(IDCANCEL);
}

// OK and Cancel reach the dialog as clicks on the items 1 and 2 with an
// empty class.
void CSkDialogImplBase::SendItemClick(UINT itemId)
{
    SkItemClickNotify click = {};
    click.hdr = {m_hWnd, IDC_SKIN_VIEW, SKN_ITEM_CLICK};
    click.itemId = itemId;
    click.itemClass = "";
    SendNotifyRecord(m_hWnd, IDC_SKIN_VIEW, click);
}
