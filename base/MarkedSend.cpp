#include "base/MarkedSend.h"

#include "base/CriticalSection.h"

namespace {

CCriticalSection& SendLock()
{
    static CCriticalSection lock;
    return lock;
}

} // namespace

LRESULT SendMarked(HWND hwnd, const wchar_t* mark, UINT msg, const void* block)
{
    // One block in flight at a time; the section is re-entered by a send
    // from inside a handler on the window's thread, which puts the outer
    // mark back afterwards.
    CCriticalSectionLock lock(SendLock());
    HANDLE outer = GetPropW(hwnd, mark);
    SetPropW(hwnd, mark, const_cast<void*>(block));
    const LRESULT result = SendMessageW(hwnd, msg, reinterpret_cast<WPARAM>(block), 0);
    if (outer)
        SetPropW(hwnd, mark, outer);
    else
        RemovePropW(hwnd, mark);
    return result;
}

bool TakeMark(HWND hwnd, const wchar_t* mark, WPARAM wParam)
{
    if (wParam == 0 || GetPropW(hwnd, mark) != reinterpret_cast<HANDLE>(wParam))
        return false;
    RemovePropW(hwnd, mark);
    return true;
}
