#include "app/dialogs/AdPopups.h"

void WaitForNetworkThread()
{
    // The network wait comes with the pop-ups; until then the program never goes online.
}

void ScheduleAdPopup(HWND, int)
{
    // Pop-up scheduling comes with the pop-ups; until then none is armed.
}

bool ParsePopupReply(const CString&, int&, int&, CString&)
{
    // Pop-up requests come with the pop-ups; until then none is due.
    return false;
}

void ShowWebPopup(int, int, const CString&, UINT, int)
{
    // Web pop-ups come with the browser host; until then none is shown.
}
