// The tray menu (menu resource 102, "traymenu") and its commands, for the
// window that owns it.
#pragma once

#include <windows.h>

#include "app/mainwnd/MenuOwner.h"

constexpr UINT IDR_TRAY_MENU = 102;
constexpr UINT ID_TRAY_SHOW = 40011;
constexpr UINT ID_TRAY_SETTINGS = 40013;
constexpr UINT ID_TRAY_HELP = 40007;
constexpr UINT ID_TRAY_EXIT = 40009;

class CMyIconMenu {
public:
    explicit CMyIconMenu(IMenuOwner& owner) noexcept : m_owner(owner) {}
    CMyIconMenu(const CMyIconMenu&) = delete;
    CMyIconMenu& operator=(const CMyIconMenu&) = delete;

    // The first item reads "隐藏" while the owner is visible, else "显示".
    void ShowTrayMenu();
    // TRUE when the command is one of the tray menu's.
    BOOL OnTrayCommand(UINT id);
    void ToggleMainWindow();
    void ShowSettingsFromTray();

private:
    IMenuOwner& m_owner;
};
