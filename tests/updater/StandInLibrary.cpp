// A stand-in for the download library, copied into test program folders as
// Dunmere.dll: a library of this machine with a version resource, in an old
// and a new build.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
