#include "app/startup/RunApplication.h"

#include "app/mainwnd/MainDlg.h"
#include "app/startup/Configuration.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/SingleInstance.h"
#include "app/startup/StaleReplacements.h"
#include "app/startup/StartupSteps.h"
#include "app/update/UpdaterStart.h"
#include "skin/CorvaneMsgBox.h"
#include "skin/SkFontPool.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"

// The program's one main window, made before the entry function runs.
CCorvaneMainDlg g_mainDlg;

void StartSkinLibrary()
{
    // Their results are not consulted: start-up goes on whatever they do.
    LoadStringTable();
    SetDefaultFontFace(SkString::Get(0));
    MarkStartupStep("string table, font");
    LoadSkins();
    MarkStartupStep("skins");
    LoadStyles();
    MarkStartupStep("styles");
}

bool ReportConfigurationError(int result)
{
    if (result != kConfigMissingFile && result != kConfigPathUnreadable && result != kConfigFolderFailed)
        return false;
    CCorvaneMsgBox::Show(ConfigurationErrorText(result, _Module.m_strDownloadDir), L"错误信息", MB_OK);
    return true;
}

void AllowDropMessages()
{
    using ChangeWindowMessageFilterFn = BOOL(WINAPI*)(UINT, DWORD);
    auto change = reinterpret_cast<ChangeWindowMessageFilterFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilter")));
    if (!change)
        return;
    constexpr UINT kCopyGlobalData = 0x49;
    change(kCopyGlobalData, MSGFLT_ADD);
    change(WM_DROPFILES, MSGFLT_ADD);
}

int RunApplication()
{
    if (!ActivateRunningInstance())
        return 0;
    // An update that did not end is handed to the updater again; it goes on
    // once this program lets go of its files.
    MarkStartupStep("single instance");
    ResumeUpdateAtStart(_Module.m_strAppDir);
    MarkStartupStep("unfinished update");
    ClearStaleReplacements();
    StartSkinLibrary();
    if (ReportConfigurationError(LoadConfiguration()))
        return 0;
    MarkStartupStep("settings");
    AllowDropMessages();
    return g_mainDlg.DoModal();
}
