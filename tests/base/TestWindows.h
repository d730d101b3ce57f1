// Small window objects for the window-layer tests: each records what its
// message map saw and what its final hook was told.
#pragma once

#include "base/WindowClass.h"
#include "base/WindowImpl.h"

#include <functional>
#include <vector>

// One window class per tag type, as a dialog class has its own.
template <typename Tag> CWindowClass& TestWindowClass()
{
    static CWindowClass cls(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW));
    return cls;
}

struct RecordingTag {};

class CRecordingWindow : public CWindowImpl {
public:
    using Handler = std::function<BOOL(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    std::vector<UINT> messages;
    Handler handler;
    int finalCalls = 0;
    HWND finalHwnd = nullptr;
    HWND handleAtFinal = reinterpret_cast<HWND>(1);
    std::function<void()> onFinal;

    HWND CreatePopup()
    {
        return Create(TestWindowClass<RecordingTag>(), nullptr, RECT{0, 0, 120, 80}, L"test", WS_POPUP);
    }
    HWND CreateChild(HWND parent, UINT id)
    {
        return Create(TestWindowClass<RecordingTag>(), parent, RECT{0, 0, 50, 20}, L"", WS_CHILD | WS_VISIBLE,
                      0, id);
    }
    bool Saw(UINT msg) const
    {
        for (UINT m : messages)
            if (m == msg)
                return true;
        return false;
    }

    BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        messages.push_back(msg);
        return handler ? handler(msg, wParam, lParam, result) : FALSE;
    }

protected:
    void OnFinalMessage(HWND hwnd) override
    {
        ++finalCalls;
        finalHwnd = hwnd;
        handleAtFinal = m_hWnd;
        if (onFinal)
            onFinal();
    }
};
