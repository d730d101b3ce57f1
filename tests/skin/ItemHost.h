// A plain window pair standing in for a dialog and its view, for the item
// tests: a hidden top-level window with one child of control id 1000 (the
// "view"). The view records every WM_NOTIFY it gets, with what the items'
// records hold, and can refuse tab changes.
#pragma once

#include <windows.h>

#include <vector>

#include "skin/SkNotify.h"

struct ItemNotice {
    WPARAM wParam;
    HWND from;
    UINT_PTR idFrom;
    UINT code;
    UINT value; // item id (moved, tab control), item handle (repaint)
    RECT rect;  // moved, repaint
    int newSel; // tab change
    int oldSel;
};

class ItemHost {
public:
    ItemHost(int width = 400, int height = 300)
    {
        static const ATOM atom = RegisterViewClass();
        (void)atom;
        frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, width, height, nullptr, nullptr, nullptr,
                                nullptr);
        view = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                               height, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SKIN_VIEW)),
                               nullptr, nullptr);
        SetWindowLongPtrW(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ItemHost(const ItemHost&) = delete;
    ItemHost& operator=(const ItemHost&) = delete;
    ~ItemHost() { DestroyWindow(frame); }

    // A real child window of the view with that control id.
    HWND AddEdit(int id, DWORD style = WS_CHILD)
    {
        return CreateWindowExW(0, L"EDIT", L"", style, 0, 0, 10, 10, view,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    // Where a child window lies in the view's client area.
    RECT ChildRect(HWND child) const
    {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // The notices of one code, in arrival order.
    std::vector<ItemNotice> Of(UINT code) const
    {
        std::vector<ItemNotice> found;
        for (const ItemNotice& n : notices)
            if (n.code == code)
                found.push_back(n);
        return found;
    }

    HWND frame = nullptr;
    HWND view = nullptr;
    std::vector<ItemNotice> notices;
    bool refuseTabChange = false;

private:
    static constexpr const wchar_t* kClassName = L"RavonyxItemTestView";

    static ATOM RegisterViewClass()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &ViewProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassW(&wc);
    }

    static LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<ItemHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg != WM_NOTIFY || !self)
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        self->Record(wParam, lParam);
        return 0;
    }

    void Record(WPARAM wParam, LPARAM lParam)
    {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        ItemNotice notice = {wParam, hdr->hwndFrom, hdr->idFrom, hdr->code, 0, {}, 0, 0};
        switch (hdr->code) {
        case SKN_REALWND_MOVED: {
            const auto* moved = reinterpret_cast<const SkRealWndMovedNotify*>(lParam);
            notice.value = moved->itemId;
            notice.rect = moved->rect;
            break;
        }
        case SKN_TAB_CHANGING: {
            auto* change = reinterpret_cast<SkTabChangeNotify*>(lParam);
            notice.value = change->tabCtrlId;
            notice.newSel = change->newSel;
            notice.oldSel = change->oldSel;
            if (change->cancel)
                notice.code = 0; // nobody may have set it before the owner
            change->cancel = refuseTabChange;
            break;
        }
        case SKN_INVALIDATE_RECT: {
            const auto* repaint = reinterpret_cast<const SkInvalidateRectNotify*>(lParam);
            notice.value = repaint->itemHandle;
            notice.rect = repaint->rect;
            break;
        }
        default:
            break;
        }
        notices.push_back(notice);
    }
};
