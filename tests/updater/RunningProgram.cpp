// A stand-in for a running main program, copied into test program folders
// as Ravonyx.exe: it loads the Dunmere.dll beside itself, as the main
// program does, and then waits in its message loop until it is ended.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (!slash)
        return 2;
    lstrcpyW(slash + 1, L"Dunmere.dll");
    if (!LoadLibraryW(path))
        return 3;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
