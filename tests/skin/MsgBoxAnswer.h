// Answering message boxes from the test itself: an action that runs inside
// the modal loop of the next box this thread shows, with the box at hand.
// The action is a message posted to a hidden window of the thread before
// the box is shown, so it runs as soon as the box's loop takes messages.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "base/WindowImpl.h"
#include "skin/CorvaneMsgBox.h"
#include "skin/SkWinManager.h"

class CBoxAnswer {
public:
    using Action = std::function<void(CCorvaneMsgBox& box)>;

    explicit CBoxAnswer(Action action) : m_action(std::move(action))
    {
        static const ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &CBoxAnswer::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"SkinTestBoxAnswer";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        m_window = CreateWindowExW(0, L"SkinTestBoxAnswer", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), this);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        PostMessageW(m_window, WM_APP, 0, 0);
    }
    CBoxAnswer(const CBoxAnswer&) = delete;
    CBoxAnswer& operator=(const CBoxAnswer&) = delete;
    ~CBoxAnswer()
    {
        DestroyWindow(m_window);
        EXPECT_TRUE(m_ran) << "no message box took the answer";
    }

    bool Ran() const { return m_ran; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CBoxAnswer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg != WM_APP || !self)
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        SkWinManager* manager = SkWinManager::Instance();
        HWND active = manager ? manager->GetActiveDialog() : nullptr;
        auto* box = dynamic_cast<CCorvaneMsgBox*>(CWindowImpl::FromHandle(active));
        self->m_ran = true;
        if (!box) {
            ADD_FAILURE() << "no message box is up on this thread";
            return 0;
        }
        self->m_action(*box);
        return 0;
    }

    Action m_action;
    HWND m_window = nullptr;
    bool m_ran = false;
};

// Clicks an item of the box with the mouse messages the view gets.
inline void ClickBoxItem(CCorvaneMsgBox& box, UINT id)
{
    CSkWindow* item = box.m_view.FindItem(id);
    ASSERT_NE(item, nullptr) << "item " << id;
    const LPARAM at = MAKELPARAM((item->m_rect.left + item->m_rect.right) / 2,
                                 (item->m_rect.top + item->m_rect.bottom) / 2);
    HWND view = box.m_view.m_hWnd;
    SendMessageW(view, WM_MOUSEMOVE, 0, at);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(view, WM_LBUTTONUP, 0, at);
}
