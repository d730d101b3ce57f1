// Plain windows that stand in for a dialog and its view: a top-level parent
// with one child of control id 1000. Both write every WM_NOTIFY they get to
// one log shared by all such windows of the process, in arrival order.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "skin/SkNotify.h"

struct LoggedNotify {
    HWND to;
    WPARAM wParam;
    HWND from;
    UINT_PTR idFrom;
    UINT code;
    UINT value; // SKN_ITEM_CLICK: the item id; SKN_INVALIDATE_RECT: the item handle
    RECT rect;  // SKN_INVALIDATE_RECT only
    std::string itemClass;
};

inline std::vector<LoggedNotify>& NotifyLog()
{
    static std::vector<LoggedNotify> log;
    return log;
}

inline LRESULT CALLBACK LoggingWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_NOTIFY)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    LoggedNotify entry = {hwnd, wParam, hdr->hwndFrom, hdr->idFrom, hdr->code, 0, {}, {}};
    if (hdr->code == SKN_ITEM_CLICK) {
        const auto* click = reinterpret_cast<const SkItemClickNotify*>(lParam);
        entry.value = click->itemId;
        entry.itemClass = click->itemClass ? click->itemClass : "(null)";
    } else if (hdr->code == SKN_INVALIDATE_RECT) {
        const auto* repaint = reinterpret_cast<const SkInvalidateRectNotify*>(lParam);
        entry.value = repaint->itemHandle;
        entry.rect = repaint->rect;
    }
    NotifyLog().push_back(entry);
    return 0;
}

class LoggingHost {
public:
    LoggingHost()
    {
        static const ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = LoggingWindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"SkinTestLoggingHost";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        m_parent = CreateWindowExW(0, L"SkinTestLoggingHost", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        m_view = CreateWindowExW(0, L"SkinTestLoggingHost", L"", WS_CHILD, 0, 0, 400, 300, m_parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SKIN_VIEW)),
                                 GetModuleHandleW(nullptr), nullptr);
    }
    LoggingHost(const LoggingHost&) = delete;
    LoggingHost& operator=(const LoggingHost&) = delete;
    ~LoggingHost() { DestroyWindow(m_parent); }

    HWND Parent() const { return m_parent; }
    HWND View() const { return m_view; }

private:
    HWND m_parent = nullptr;
    HWND m_view = nullptr;
};
