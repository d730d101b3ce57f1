// The object behind a window: it makes a window of one of our classes, or
// takes over (subclasses) a window that exists, and receives its messages
// through its message map (base/MessageMap.h).
//
// - Each window finds its object (and a subclassed window its former
//   procedure) in a table of this process's memory, never in the window's
//   own slots or properties, which any process can set; a subclassed window
//   keeps its GWLP_USERDATA and properties to itself.
// - Messages the map does not take go to the default procedure: DefWindowProcW
//   for our classes, the window's former procedure for a subclassed window.
// - After WM_NCDESTROY the object lets go of the window: m_hWnd becomes null
//   and OnFinalMessage runs. When WM_NCDESTROY arrives while another message
//   of the same window is still being handled (DestroyWindow called from one
//   of its handlers), both wait until that outer message is done, so a
//   final hook that deletes the object never pulls it from under a running
//   handler.
// - Destroying the object while its window lives only detaches it: the
//   window goes on with the default procedure.
#pragma once

#include "base/MessageMap.h"

#include <windows.h>

class CWindowClass;

class CWindowImpl : public CMessageMap {
public:
    HWND m_hWnd = nullptr;

    CWindowImpl() = default;
    CWindowImpl(const CWindowImpl&) = delete;
    CWindowImpl& operator=(const CWindowImpl&) = delete;
    virtual ~CWindowImpl();

    // Makes a window of the given class for this object; null when the
    // object has a window already or the window was not made (or destroyed
    // itself while being made). For a child window, id is its control id.
    HWND Create(const CWindowClass& windowClass, HWND parent, const RECT& rect, LPCWSTR text, DWORD style,
                DWORD exStyle = 0, UINT_PTR id = 0) noexcept;

    // Takes over a window of this thread that was made elsewhere; FALSE when
    // the object has a window already or hwnd is no window of this thread.
    BOOL SubclassWindow(HWND hwnd) noexcept;
    // Gives a subclassed window back its former procedure; the window, or
    // null when there was none or another procedure was put over ours since.
    HWND UnsubclassWindow() noexcept;

    BOOL DestroyWindow() noexcept;

    // The message's default handling: DefWindowProcW or the former procedure.
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

    // The object of a window made or subclassed here, or null.
    static CWindowImpl* FromHandle(HWND hwnd) noexcept;

    // The procedure of our window classes.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // Runs after the window is gone and m_hWnd is null; the object may
    // delete itself here (and must not be touched by anyone afterwards).
    virtual void OnFinalMessage(HWND hwnd);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static CWindowImpl* TakeCreatingObject(HWND hwnd) noexcept;
    LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Detach(HWND hwnd, bool windowEnding) noexcept;

    WNDPROC m_defaultProc = nullptr;
    bool m_subclassed = false;
    bool m_destroyed = false; // WM_NCDESTROY came; the final steps wait for the outermost message
    int m_depth = 0;          // messages of this window being handled right now
};
