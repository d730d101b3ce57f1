#include "app/mainwnd/ContextMenu.h"

int KeepMenuOnMonitor(int x, int y)
{
    const POINT point = {x, y};
    if (MonitorFromPoint(point, MONITOR_DEFAULTTONULL))
        return x;
    HMONITOR nearest = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!nearest || !GetMonitorInfoW(nearest, &info))
        return x;
    if (x < info.rcWork.left)
        return info.rcWork.left;
    if (x > info.rcWork.right)
        return info.rcWork.right;
    return x;
}
