// Uplark.exe: the updater, a Windows program without a window.
#include "updater/UpdaterMain.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    return UpdaterMain(commandLine);
}
