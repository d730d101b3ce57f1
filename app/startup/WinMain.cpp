// The entry function of Ravonyx.exe.
#include <windows.h>

#include <objbase.h>

#include "app/dialogs/AdStateWork.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/Elevation.h"
#include "app/startup/RunApplication.h"
#include "app/startup/StartupSteps.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    MarkStartupStep("static construction");
    if (FAILED(InitModulePaths()))
        return -1;
    const CString line = commandLine ? commandLine : L"";
    if (line.GetLength() > 0)
        ParseCommandLine(line);
    MarkStartupStep("module paths, command line");
    if (NeedsElevation()) {
        // The elevated instance gets the same command line, so a start from
        // the Run value stays hidden and a request is not lost.
        if (!RelaunchElevated(_Module.m_strModulePath, line))
            MessageBoxW(nullptr, L"请使用管理员账户运行本软件", nullptr, MB_OK);
        return -3;
    }
    MarkStartupStep("elevation test");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    MarkStartupStep("COM");
    _Module.m_hRichEdit = LoadLibraryW(L"RICHED20.DLL");
    MarkStartupStep("RichEdit");
    RunApplication();
    // The advertising-state workers may still wait on the web site: from here
    // on they touch nothing, as the module and the rest of the globals go
    // once this function returns.
    EndAdStateWork();
    CoUninitialize();
    return 0;
}
