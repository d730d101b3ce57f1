// Helpers by item id that every dialog's view offers its owner. Each looks
// the id up in the header, then the body, then the footer (T::FindItem)
// and repaints what it changes through T's RedrawItem and AddDirtyRect.
// An item the owner replaces meanwhile (notified of a moved real window,
// say) stays in memory until the helper returns.
#pragma once

#include <windows.h>

#include <cstdio>

#include "skin/SkItemRelease.h"
#include "skin/SkTabCtrl.h"
#include "skin/SkWindow.h"

template <typename T> class CSkViewImpl {
public:
    // Sets the item's text (measuring an auto-sized item again) and
    // repaints its old and new rectangles. TRUE when the item was found.
    BOOL SetItemText(UINT id, const wchar_t* text)
    {
        CSkItemUseScope inUse;
        CSkWindow* item = View().FindItem(id);
        if (!item)
            return FALSE;
        View().RedrawItem(item, TRUE);
        item->SetText(text);
        View().RedrawItem(item, TRUE);
        return TRUE;
    }

    // Shows or hides the item (panels also their real windows) and
    // repaints its rectangle. TRUE when the item was found.
    BOOL SetItemVisible(UINT id, BOOL show)
    {
        CSkItemUseScope inUse;
        CSkWindow* item = View().FindItem(id);
        if (!item)
            return FALSE;
        item->SendSkMessage(SKM_SHOW, show);
        View().AddDirtyRect(item->m_rect);
        return TRUE;
    }

    // check 1 sets the checked bit, anything else clears it.
    void SetItemCheck(UINT id, BOOL check)
    {
        CSkWindow* item = View().FindItem(id);
        if (!item)
            return;
        if (check == 1)
            item->m_state |= SKS_CHECKED;
        else
            item->m_state &= ~SKS_CHECKED;
        View().RedrawItem(item, TRUE);
    }

    // Applies one attribute at run time (UTF-8 name and value), repainting
    // before and after. TRUE when the item was found.
    BOOL SetItemAttribute(UINT id, const char* name, const char* value)
    {
        CSkItemUseScope inUse;
        CSkWindow* item = View().FindItem(id);
        if (!item)
            return FALSE;
        View().RedrawItem(item, TRUE);
        item->ApplyAttribute(name, value, FALSE);
        View().RedrawItem(item, TRUE);
        return TRUE;
    }

    BOOL SetItemIntAttribute(UINT id, const char* name, UINT value)
    {
        char text[16];
        std::snprintf(text, sizeof(text), "%u", value);
        return SetItemAttribute(id, name, text);
    }

    // Selects a page of the "tabctrl" with that id: the tab control's
    // answer, 0 for an item that is none.
    BOOL SetTabCurSel(UINT id, int page)
    {
        CSkItemUseScope inUse;
        CSkWindow* item = View().FindItem(id);
        if (!item || !item->MatchesTag("tabctrl"))
            return 0;
        return static_cast<CSkTabCtrl*>(item)->SelectTab(page);
    }

protected:
    CSkViewImpl() = default;
    ~CSkViewImpl() = default;

private:
    T& View() { return static_cast<T&>(*this); }
};
