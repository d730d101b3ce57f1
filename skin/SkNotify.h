// The skin notifications: WM_NOTIFY messages from a view (control id 1000)
// to its dialog, and the one an item sends to its own view to have part of
// itself repainted.
#pragma once

#include <windows.h>

#include <cstddef>

// The control id of every dialog's view.
constexpr UINT IDC_SKIN_VIEW = 1000;

constexpr UINT SKN_ITEM_CLICK = 1;         // SkItemClickNotify
constexpr UINT SKN_REALWND_MOVED = 2;      // SkRealWndMovedNotify
constexpr UINT SKN_VIEW_HOVER = 3;         // NMHDR only
constexpr UINT SKN_VIEW_LEAVE = 4;         // NMHDR only
constexpr UINT SKN_TAB_CHANGING = 5;       // SkTabChangeNotify
constexpr UINT SKN_INVALIDATE_RECT = 1000; // SkInvalidateRectNotify, item to its view only

// A click on an item, and the dialog's OK (item 1) and Cancel (item 2) with
// an empty class.
struct SkItemClickNotify {
    NMHDR hdr;
    UINT itemId;
    const char* itemClass; // the item's tag
};

// A "realwnd" item moved its real window.
struct SkRealWndMovedNotify {
    NMHDR hdr;
    UINT itemId;
    RECT rect;
};

// A tab control is about to change its page; set cancel to refuse.
struct SkTabChangeNotify {
    NMHDR hdr;
    UINT tabCtrlId;
    int newSel;
    int oldSel;
    BOOL cancel;
};

// An item asks its view to repaint part of it. hdr is {NULL, item id, 1000}.
struct SkInvalidateRectNotify {
    NMHDR hdr;
    UINT itemHandle;
    RECT rect;
};

// The records as the 32-bit program lays them out.
#if !defined(_WIN64)
static_assert(sizeof(NMHDR) == 12, "NMHDR");
static_assert(sizeof(SkItemClickNotify) == 20, "SkItemClickNotify");
static_assert(sizeof(SkRealWndMovedNotify) == 32, "SkRealWndMovedNotify");
static_assert(sizeof(SkTabChangeNotify) == 28, "SkTabChangeNotify");
static_assert(offsetof(SkTabChangeNotify, cancel) == 24, "SkTabChangeNotify");
static_assert(sizeof(SkInvalidateRectNotify) == 32, "SkInvalidateRectNotify");
#endif
