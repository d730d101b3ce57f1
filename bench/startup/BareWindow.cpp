// The baseline of the start-up benchmark: a bare Win32 program that shows one
// 960 x 660 window, paints it with one colour, and runs a message loop. Like
// the test build's Ravonyx.exe it marks its entry in the start-up trace
// that the benchmark asks for (tools/starttrace).
#include <windows.h>

#include <cstdio>

#include "tools/starttrace/StartupTrace.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(RGB(0x2A, 0x5F, 0xCF));
        FillRect(dc, &paint.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void MarkEntry()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(kStartupTraceVariable, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char line[64];
    const int size = std::snprintf(line, sizeof(line), "%lld entry\n", static_cast<long long>(now.QuadPart));
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    MarkEntry();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassW(&windowClass);
    const int width = 960;
    const int height = 660;
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, L"BareWindow", L"Bare", WS_POPUP | WS_SYSMENU,
                                  (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
