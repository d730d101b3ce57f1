#include "tests/support/ProcessDialog.h"

namespace {

struct BoxSearch {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindDialogOfProcess(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (processId == search->processId && lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(window)) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindMessageBox(DWORD processId)
{
    BoxSearch search = {processId, nullptr};
    EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.box;
}
