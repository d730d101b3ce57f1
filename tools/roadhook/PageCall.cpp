// Asks the road hook of a running test-build Ravonyx.exe to call a script
// method as a page would:  PageCall.exe Ex_DLGameInfo 101 1 3
// Prints the result; exit code 0 when the call was made, 1 when no program
// with the hook runs, 2 for a bad command line.
#include "tools/roadhook/RoadHook.h"

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: PageCall.exe Method [integer arguments]\n");
        return 2;
    }
    std::wstring request = argv[1];
    for (int i = 2; i < argc; ++i)
        request += std::wstring(L"|") + argv[i];
    HWND hook = FindWindowExW(HWND_MESSAGE, nullptr, kRoadHookClass, nullptr);
    if (!hook) {
        std::fwprintf(stderr, L"PageCall: no Ravonyx.exe with the road hook runs\n");
        return 1;
    }
    COPYDATASTRUCT data = {kRoadHookCall, static_cast<DWORD>((request.size() + 1) * sizeof(wchar_t)),
                           const_cast<wchar_t*>(request.c_str())};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hook, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 120000,
                             &result)) {
        std::fwprintf(stderr, L"PageCall: the program did not answer\n");
        return 1;
    }
    std::wprintf(L"%ls -> %ld\n", argv[1], static_cast<long>(static_cast<LONG_PTR>(result)));
    return 0;
}
