// Runs UnpackArchive in a process of its own, so that a test can answer its
// message boxes from outside and can put a stand-in extractor beside it. The
// arguments come from RAVONYX_UNPACK_ARCHIVE, RAVONYX_UNPACK_FOLDER and
// RAVONYX_UNPACK_PASSWORD (the folder ends in a backslash, which argument
// splitting would misread); RAVONYX_UNPACK_LIMIT_MS, when set, is the time
// limit. With RAVONYX_UNPACK_WINDOW set it first makes a hidden window of
// the class "RavonyxUnpackProbe" that answers WM_APP with 42, so a test can
// send to the waiting thread. Exit code 10: true, 20: false.
#include "app/common/UnpackArchive.h"

namespace {

CString Environment(const wchar_t* name)
{
    wchar_t value[1024] = {};
    GetEnvironmentVariableW(name, value, 1024);
    return value;
}

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP)
        return 42;
    return DefWindowProcW(window, msg, wParam, lParam);
}

HWND MakeProbeWindow()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ProbeWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RavonyxUnpackProbe";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                           nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    HWND window = Environment(L"RAVONYX_UNPACK_WINDOW").IsEmpty() ? nullptr : MakeProbeWindow();
    const CString limit = Environment(L"RAVONYX_UNPACK_LIMIT_MS");
    const DWORD limitMs = limit.IsEmpty() ? kExtractorTimeLimitMs : wcstoul(limit, nullptr, 10);
    const bool unpacked =
        UnpackArchive(Environment(L"RAVONYX_UNPACK_ARCHIVE"), Environment(L"RAVONYX_UNPACK_FOLDER"),
                      Environment(L"RAVONYX_UNPACK_PASSWORD"), limitMs);
    if (window)
        DestroyWindow(window);
    return unpacked ? 10 : 20;
}
