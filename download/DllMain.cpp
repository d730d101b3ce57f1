// Windows Sockets 1.1 is the library's from load to unload. Nothing here
// starts a thread or waits for one: the loader lock is held.

#include "download/DealSocket.h"

#include <windows.h>

#include <optional>

namespace {

std::optional<CDealSocket> g_sockets;

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        g_sockets.emplace();
        break;
    case DLL_PROCESS_DETACH:
        g_sockets.reset();
        break;
    default:
        break;
    }
    return TRUE;
}
