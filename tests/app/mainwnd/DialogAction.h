// Acting inside the modal loop of the next skin dialog this thread shows:
// a message posted to a hidden window before the dialog runs, handled once
// the dialog's loop takes messages, with the dialog at hand.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "skin/SkDialogImpl.h"
#include "skin/SkWinManager.h"

template <typename TDialog> class CDialogAction {
public:
    using Action = std::function<void(TDialog& dialog)>;

    explicit CDialogAction(Action action) : m_action(std::move(action))
    {
        static const ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &CDialogAction::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"MainWndTestDialogAction";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        m_window = CreateWindowExW(0, L"MainWndTestDialogAction", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        PostMessageW(m_window, WM_APP, 0, 0);
    }
    CDialogAction(const CDialogAction&) = delete;
    CDialogAction& operator=(const CDialogAction&) = delete;
    ~CDialogAction()
    {
        DestroyWindow(m_window);
        EXPECT_TRUE(m_ran) << "no dialog took the action";
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CDialogAction*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg != WM_APP || !self)
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        SkWinManager* manager = SkWinManager::Instance();
        HWND active = manager ? manager->GetActiveDialog() : nullptr;
        auto* dialog = dynamic_cast<TDialog*>(CWindowImpl::FromHandle(active));
        self->m_ran = true;
        if (!dialog) {
            ADD_FAILURE() << "no such dialog is up on this thread";
            return 0;
        }
        self->m_action(*dialog);
        return 0;
    }

    Action m_action;
    HWND m_window = nullptr;
    bool m_ran = false;
};

// Clicks an item of a skin dialog with the mouse messages its view gets.
template <typename TDialog> void ClickItem(TDialog& dialog, UINT id)
{
    CSkWindow* item = dialog.m_view.FindItem(id);
    ASSERT_NE(item, nullptr) << "item " << id;
    const LPARAM at = MAKELPARAM((item->m_rect.left + item->m_rect.right) / 2,
                                 (item->m_rect.top + item->m_rect.bottom) / 2);
    HWND view = dialog.m_view.m_hWnd;
    SendMessageW(view, WM_MOUSEMOVE, 0, at);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(view, WM_LBUTTONUP, 0, at);
}
