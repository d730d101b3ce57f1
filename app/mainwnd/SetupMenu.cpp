#include "app/mainwnd/SetupMenu.h"

#include <shellapi.h>

#include "app/common/ServerAddresses.h"
#include "app/dialogs/GBSetup.h"
#include "app/mainwnd/AboutDlg.h"
#include "app/mainwnd/ContextMenu.h"
#include "app/update/UpdateCheck.h"
#include "base/Thread.h"

void CSetupMenu::ShowMainMenu()
{
    TrackContextMenu(m_owner.MenuWindow(), IDR_MAIN_MENU);
}

BOOL CSetupMenu::OnMainMenuCommand(UINT id)
{
    switch (id) {
    case ID_MENU_HOME:
        ShellExecuteW(nullptr, L"open", RAVONYX_WEB_SITE, nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
    case ID_MENU_ABOUT:
        ShowAboutDialog();
        return TRUE;
    case ID_MENU_SETTINGS:
        ShowSettingsDialog();
        return TRUE;
    case ID_MENU_UPDATE:
        StartDetachedThread([] { CheckForUpdate(kUpdateCheckManual); });
        return TRUE;
    case ID_MENU_EXIT:
        m_owner.ConfirmQuit();
        return TRUE;
    default:
        return FALSE;
    }
}

void CSetupMenu::ShowAboutDialog()
{
    CAboutDlg about;
    about.DoModal();
}

void CSetupMenu::ShowSettingsDialog()
{
    CGBSetup::Open(m_owner.MenuWindow());
}
