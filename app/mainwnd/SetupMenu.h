// The main menu behind the main window's menu button (menu resource 103,
// "plugpopwnd") and its commands. T is the main window; it provides
// TrackContextMenu (CContextMenu), ConfirmQuit and m_hWnd.
#pragma once

#include <shellapi.h>
#include <windows.h>

#include "app/common/ServerAddresses.h"
#include "app/dialogs/GBSetup.h"
#include "app/mainwnd/AboutDlg.h"
#include "app/update/UpdateCheck.h"
#include "base/Thread.h"

constexpr UINT IDR_MAIN_MENU = 103;
constexpr UINT ID_MENU_HOME = 40015;
constexpr UINT ID_MENU_ABOUT = 40016;
constexpr UINT ID_MENU_SETTINGS = 40017;
constexpr UINT ID_MENU_UPDATE = 40018;
constexpr UINT ID_MENU_EXIT = 40019;

template <typename T> class CSetupMenu {
public:
    void ShowMainMenu() { Owner().TrackContextMenu(IDR_MAIN_MENU); }

    // TRUE when the command is one of the main menu's.
    BOOL OnMainMenuCommand(UINT id)
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
            Owner().ConfirmQuit();
            return TRUE;
        default:
            return FALSE;
        }
    }

    void ShowAboutDialog()
    {
        CAboutDlg about;
        about.DoModal();
    }

    void ShowSettingsDialog() { CGBSetup::Open(Owner().m_hWnd); }

protected:
    CSetupMenu() = default;
    ~CSetupMenu() = default;

private:
    T& Owner() { return *static_cast<T*>(this); }
};
