#include "base/WindowImpl.h"

#include "base/AppModule.h"
#include "base/CriticalSection.h"
#include "base/WindowClass.h"

#include <unordered_map>
#include <utility>

namespace {

// The object whose Create runs on this thread; the first message of the new
// window (often WM_GETMINMAXINFO, before WM_NCCREATE) ties the two together.
thread_local CWindowImpl* t_creatingObject = nullptr;

LONG_PTR ProcValue(WNDPROC proc) noexcept
{
    return reinterpret_cast<LONG_PTR>(proc);
}

// Which object each window of ours has, and the procedure a subclassed window
// had. Kept in this process's memory: the window's own slots and properties
// can be read and set by any process on the desktop.
class CWindowTable {
public:
    struct Entry {
        CWindowImpl* object = nullptr;
        WNDPROC former = nullptr; // subclassed windows only
    };

    static CWindowTable& Instance()
    {
        static CWindowTable* const table = new CWindowTable; // windows may outlive the globals
        return *table;
    }

    Entry Find(HWND hwnd)
    {
        CCriticalSectionLock hold(m_lock);
        auto found = m_entries.find(hwnd);
        return found == m_entries.end() ? Entry{} : found->second;
    }
    bool Has(HWND hwnd)
    {
        CCriticalSectionLock hold(m_lock);
        return m_entries.count(hwnd) != 0;
    }
    void Set(HWND hwnd, CWindowImpl* object, WNDPROC former)
    {
        CCriticalSectionLock hold(m_lock);
        m_entries[hwnd] = Entry{object, former};
    }
    // The object goes; a subclassed window keeps its former procedure.
    void ClearObject(HWND hwnd)
    {
        CCriticalSectionLock hold(m_lock);
        auto found = m_entries.find(hwnd);
        if (found == m_entries.end())
            return;
        if (found->second.former)
            found->second.object = nullptr;
        else
            m_entries.erase(found);
    }
    void Erase(HWND hwnd)
    {
        CCriticalSectionLock hold(m_lock);
        m_entries.erase(hwnd);
    }

private:
    CCriticalSection m_lock;
    std::unordered_map<HWND, Entry> m_entries;
};

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
    CWindowTable& table = CWindowTable::Instance();
    if (table.Has(hwnd))
        return FALSE;
    auto former = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (!former)
        return FALSE;
    table.Set(hwnd, this, former);
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
    return hwnd ? CWindowTable::Instance().Find(hwnd).object : nullptr;
}

void CWindowImpl::OnFinalMessage(HWND) {}

LRESULT CALLBACK CWindowImpl::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWindowImpl* self = CWindowTable::Instance().Find(hwnd).object;
    if (!self)
        self = TakeCreatingObject(hwnd);
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->Dispatch(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CWindowImpl::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const CWindowTable::Entry entry = CWindowTable::Instance().Find(hwnd);
    if (entry.object)
        return entry.object->Dispatch(hwnd, msg, wParam, lParam);
    // The object went while another procedure sat over ours, so ours could
    // not be taken out: pass every message on to the former procedure.
    if (msg == WM_NCDESTROY)
        CWindowTable::Instance().Erase(hwnd);
    return entry.former ? CallWindowProcW(entry.former, hwnd, msg, wParam, lParam)
                        : DefWindowProcW(hwnd, msg, wParam, lParam);
}

CWindowImpl* CWindowImpl::TakeCreatingObject(HWND hwnd) noexcept
{
    CWindowImpl* self = std::exchange(t_creatingObject, nullptr);
    if (!self)
        return nullptr;
    self->m_hWnd = hwnd;
    CWindowTable::Instance().Set(hwnd, self, nullptr);
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
    CWindowTable& table = CWindowTable::Instance();
    if (!m_subclassed) {
        table.Erase(hwnd);
        return;
    }
    m_subclassed = false;
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == ProcValue(&SubclassProc)) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, ProcValue(m_defaultProc));
        table.Erase(hwnd);
    } else if (windowEnding) {
        table.Erase(hwnd);
    } else {
        table.ClearObject(hwnd);
    }
}
