/* Windows XP has no GetTickCount64, yet the C++ threads runtime that every
 * program here links statically imports it. This object fills that import
 * slot itself: the shipped files then start on XP, and use the system's
 * function wherever it exists. It is linked into every program and DLL. */
#include <windows.h>

typedef ULONGLONG(WINAPI* TickCount64Fn)(void);

/* GetTickCount widened by counting its wrap-arounds (every 49.7 days). */
static ULONGLONG WidenedTickCount(void)
{
    static volatile LONGLONG state; /* wraps in the high half, last tick in the low */
    for (;;) {
        const LONGLONG old = state;
        DWORD wraps = (DWORD)((ULONGLONG)old >> 32);
        const DWORD last = (DWORD)old;
        const DWORD now = GetTickCount();
        if (now < last)
            ++wraps;
        const LONGLONG updated = (LONGLONG)(((ULONGLONG)wraps << 32) | now);
        if (__sync_bool_compare_and_swap(&state, old, updated))
            return ((ULONGLONG)wraps << 32) | now;
    }
}

static ULONGLONG WINAPI TickCount64(void)
{
    static TickCount64Fn system;
    static volatile LONG looked;
    if (!looked) {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        system = kernel ? (TickCount64Fn)(void*)GetProcAddress(kernel, "GetTickCount64") : NULL;
        InterlockedExchange(&looked, 1);
    }
    return system ? system() : WidenedTickCount();
}

#ifdef _WIN64
TickCount64Fn ravonyx_imp_GetTickCount64 __asm__("__imp_GetTickCount64") = TickCount64;
#else
TickCount64Fn ravonyx_imp_GetTickCount64 __asm__("__imp__GetTickCount64@0") = TickCount64;
#endif
