#include "skin/SkItemRepaint.h"

#include "base/NotifyRecord.h"
#include "skin/SkNotify.h"
#include "skin/SkWindow.h"

void InvalidateItemRect(const RECT& rect, const CSkWindow& item)
{
    if (item.IsHiddenInTree())
        return;
    HWND view = item.m_hostWindow;
    if (!view || !IsWindow(view))
        return;
    SkInvalidateRectNotify notify = {};
    notify.hdr.hwndFrom = nullptr;
    notify.hdr.idFrom = item.m_id;
    notify.hdr.code = SKN_INVALIDATE_RECT;
    notify.itemHandle = item.m_handle;
    notify.rect = rect;
    SendNotifyRecord(view, item.m_id, notify);
}
