// The tray menu (menu resource 102, "traymenu") and its commands. T is the
// main window; it provides TrackContextMenu (CContextMenu), ConfirmQuit and
// m_hWnd.
#pragma once

#include <shellapi.h>
#include <windows.h>

#include "app/common/ServerAddresses.h"
#include "app/dialogs/GBSetup.h"

constexpr UINT IDR_TRAY_MENU = 102;
constexpr UINT ID_TRAY_SHOW = 40011;
constexpr UINT ID_TRAY_SETTINGS = 40013;
constexpr UINT ID_TRAY_HELP = 40007;
constexpr UINT ID_TRAY_EXIT = 40009;

template <typename T> class CMyIconMenu {
public:
    // The first item reads "隐藏" while the main window is visible, else "显示".
    void ShowTrayMenu()
    {
        HWND main = Owner().m_hWnd;
        Owner().TrackContextMenu(IDR_TRAY_MENU, [main](HMENU popup) {
            ModifyMenuW(popup, ID_TRAY_SHOW, MF_BYCOMMAND | MF_STRING, ID_TRAY_SHOW,
                        IsWindowVisible(main) ? L"隐藏" : L"显示");
        });
    }

    // TRUE when the command is one of the tray menu's.
    BOOL OnTrayCommand(UINT id)
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
            Owner().ConfirmQuit();
            return TRUE;
        default:
            return FALSE;
        }
    }

    void ToggleMainWindow()
    {
        HWND main = Owner().m_hWnd;
        ShowWindow(main, IsWindowVisible(main) ? SW_HIDE : SW_SHOW);
        OpenIcon(main);
    }

    void ShowSettingsFromTray()
    {
        ShowWindow(Owner().m_hWnd, SW_SHOWDEFAULT);
        CGBSetup::Open(Owner().m_hWnd);
    }

protected:
    CMyIconMenu() = default;
    ~CMyIconMenu() = default;

private:
    T& Owner() { return *static_cast<T*>(this); }
};
