// The outline of every skin dialog: whenever the dialog's size changes, its
// window is clipped to its client rectangle with cut corners. T is the
// dialog class (it has m_hWnd); the dialog template chains this map after
// its own entries.
#pragma once

#include <windows.h>

#include "skin/SkFrameGeometry.h"

template <typename T> class CUiRoundRectFrameHelper {
public:
    // WM_SIZE: a new region unless minimised or the size is the one applied
    // last. The message goes on.
    void OnSize(WPARAM type, int cx, int cy)
    {
        if (type == SIZE_MINIMIZED || (cx == m_cx && cy == m_cy))
            return;
        SetRoundRectRegion(static_cast<T*>(this)->m_hWnd);
        m_cx = cx;
        m_cy = cy;
    }

    BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (msg == WM_SIZE)
            OnSize(wParam, LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    }

    // The client size the region was made for.
    int m_cx = 0;
    int m_cy = 0;

protected:
    CUiRoundRectFrameHelper() = default;
    ~CUiRoundRectFrameHelper() = default;
};
