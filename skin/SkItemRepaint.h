// Asking a view to repaint part of one of its items.
#pragma once

#include <windows.h>

class CSkWindow;

// Sends SKN_INVALIDATE_RECT for rect to the item's host view, unless the
// item or an ancestor is hidden or the host is no window (any more).
void InvalidateItemRect(const RECT& rect, const CSkWindow& item);
