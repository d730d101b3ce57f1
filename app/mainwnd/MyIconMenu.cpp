#include "app/mainwnd/MyIconMenu.h"

#include <shellapi.h>

#include "app/common/ServerAddresses.h"
#include "app/dialogs/GBSetup.h"
#include "app/mainwnd/ContextMenu.h"

void CMyIconMenu::ShowTrayMenu()
{
    HWND main = m_owner.MenuWindow();
    TrackContextMenu(main, IDR_TRAY_MENU, [main](HMENU popup) {
        ModifyMenuW(popup, ID_TRAY_SHOW, MF_BYCOMMAND | MF_STRING, ID_TRAY_SHOW,
                    IsWindowVisible(main) ? L"隐藏" : L"显示");
    });
}

BOOL CMyIconMenu::OnTrayCommand(UINT id)
{
    switch (id) {
    case ID_TRAY_SHOW:
        ToggleMainWindow();
        return TRUE;
    case ID_TRAY_SETTINGS:
        ShowSettingsFromTray();
        return TRUE;
    case ID_TRAY_HELP:
        ShellExecuteW(nullptr, L"open", RAVONYX_WEB_SITE L"/help.html", nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
    case ID_TRAY_EXIT:
        m_owner.ConfirmQuit();
        return TRUE;
    default:
        return FALSE;
    }
}

void CMyIconMenu::ToggleMainWindow()
{
    HWND main = m_owner.MenuWindow();
    ShowWindow(main, IsWindowVisible(main) ? SW_HIDE : SW_SHOW);
    OpenIcon(main);
}

void CMyIconMenu::ShowSettingsFromTray()
{
    ShowWindow(m_owner.MenuWindow(), SW_SHOWDEFAULT);
    CGBSetup::Open(m_owner.MenuWindow());
}
