#include "base/WindowImpl.h"

#include "base/AppModule.h"
#include "base/WindowClass.h"

#include <utility>

namespace {

// The object whose Create runs on this thread; the first message of the new
// window (often WM_GETMINMAXINFO, before WM_NCCREATE) ties the two together.
thread_local CWindowImpl* t_creatingObject = nullptr;

// Properties of a subclassed window: its object, and the procedure it had.
const wchar_t kObjectProperty[] = L"Ravonyx.WindowObject";
const wchar_t kFormerProcProperty[] = L"Ravonyx.FormerWindowProc";

LONG_PTR ProcValue(WNDPROC proc) noexcept
{
    return reinterpret_cast<LONG_PTR>(proc);
}

} // namespace

CWindowImpl::~CWindowImpl()
{
    if (!m_hWnd || !IsWindow(m_hWnd))
        return;
    // The window outlives its object: leave it to the default procedure.
    if (!m_subclassed)
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, ProcValue(&DefWindowProcW));
    Detach(m_hWnd, false);
    m_hWnd = nullptr;
}

HWND CWindowImpl::Create(const CWindowClass& windowClass, HWND parent, const RECT& rect, LPCWSTR text,
                         DWORD style, DWORD exStyle, UINT_PTR id) noexcept
{
    if (m_hWnd || !windowClass.Atom())
        return nullptr;
    m_defaultProc = &DefWindowProcW;
    m_subclassed = false;
    CWindowImpl* outer = std::exchange(t_creatingObject, this);
    HWND hwnd = CreateWindowExW(exStyle, MAKEINTATOM(windowClass.Atom()), text, style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(id), ThisModuleInstance(), nullptr);
    t_creatingObject = outer;
    // A window that destroyed itself while being made has been let go already.
    return hwnd && hwnd == m_hWnd ? hwnd : nullptr;
}

BOOL CWindowImpl::SubclassWindow(HWND hwnd) noexcept
{
    if (m_hWnd || !IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId())
        return FALSE;
    if (FromHandle(hwnd) || GetPropW(hwnd, kFormerProcProperty))
        return FALSE;
    auto former = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (!former)
        return FALSE;
    if (!SetPropW(hwnd, kFormerProcProperty, reinterpret_cast<HANDLE>(former)))
        return FALSE;
    if (!SetPropW(hwnd, kObjectProperty, static_cast<HANDLE>(this))) {
        RemovePropW(hwnd, kFormerProcProperty);
        return FALSE;
    }
    m_hWnd = hwnd;
    m_defaultProc = former;
    m_subclassed = true;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, ProcValue(&SubclassProc));
    return TRUE;
}

HWND CWindowImpl::UnsubclassWindow() noexcept
{
    if (!m_subclassed || !m_hWnd)
        return nullptr;
    if (GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) != ProcValue(&SubclassProc))
        return nullptr;
    Detach(m_hWnd, false);
    return std::exchange(m_hWnd, nullptr);
}

BOOL CWindowImpl::DestroyWindow() noexcept
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

LRESULT CWindowImpl::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    return CallWindowProcW(m_defaultProc ? m_defaultProc : &DefWindowProcW, m_hWnd, msg, wParam, lParam);
}

CWindowImpl* CWindowImpl::FromHandle(HWND hwnd) noexcept
{
    if (!hwnd)
        return nullptr;
    if (GetClassLongPtrW(hwnd, GCLP_WNDPROC) == static_cast<ULONG_PTR>(ProcValue(&WindowProc)))
        return reinterpret_cast<CWindowImpl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return static_cast<CWindowImpl*>(GetPropW(hwnd, kObjectProperty));
}

void CWindowImpl::OnFinalMessage(HWND) {}

LRESULT CALLBACK CWindowImpl::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CWindowImpl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        self = TakeCreatingObject(hwnd);
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->Dispatch(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CWindowImpl::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (auto* self = static_cast<CWindowImpl*>(GetPropW(hwnd, kObjectProperty)))
        return self->Dispatch(hwnd, msg, wParam, lParam);
    // The object went while another procedure sat over ours, so ours could
    // not be taken out: pass every message on to the former procedure.
    auto former = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kFormerProcProperty));
    if (msg == WM_NCDESTROY)
        RemovePropW(hwnd, kFormerProcProperty);
    return former ? CallWindowProcW(former, hwnd, msg, wParam, lParam)
                  : DefWindowProcW(hwnd, msg, wParam, lParam);
}

CWindowImpl* CWindowImpl::TakeCreatingObject(HWND hwnd) noexcept
{
    CWindowImpl* self = std::exchange(t_creatingObject, nullptr);
    if (!self)
        return nullptr;
    self->m_hWnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
}

LRESULT CWindowImpl::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ++m_depth;
    LRESULT result = 0;
    const BOOL handled = ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
    if (msg == WM_NCDESTROY) {
        // The default procedure always sees the window's last message, taken
        // or not: it frees what the system keeps for the window.
        const LRESULT defaultResult = CallWindowProcW(m_defaultProc, hwnd, msg, wParam, lParam);
        if (!handled)
            result = defaultResult;
        Detach(hwnd, true);
        m_destroyed = true;
    } else if (!handled) {
        result = CallWindowProcW(m_defaultProc, hwnd, msg, wParam, lParam);
    }
    if (--m_depth == 0 && m_destroyed) {
        m_destroyed = false;
        m_hWnd = nullptr;
        OnFinalMessage(hwnd); // may delete this
    }
    return result;
}

void CWindowImpl::Detach(HWND hwnd, bool windowEnding) noexcept
{
    if (!m_subclassed) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return;
    }
    m_subclassed = false;
    RemovePropW(hwnd, kObjectProperty);
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == ProcValue(&SubclassProc)) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, ProcValue(m_defaultProc));
        RemovePropW(hwnd, kFormerProcProperty);
    } else if (windowEnding) {
        RemovePropW(hwnd, kFormerProcProperty);
    }
}
