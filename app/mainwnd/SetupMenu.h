// The main menu behind the main window's menu button (menu resource 103,
// "plugpopwnd") and its commands, for the window that owns it.
#pragma once

#include <windows.h>

#include "app/mainwnd/MenuOwner.h"

constexpr UINT IDR_MAIN_MENU = 103;
constexpr UINT ID_MENU_HOME = 40015;
constexpr UINT ID_MENU_ABOUT = 40016;
constexpr UINT ID_MENU_SETTINGS = 40017;
constexpr UINT ID_MENU_UPDATE = 40018;
constexpr UINT ID_MENU_EXIT = 40019;

class CSetupMenu {
public:
    explicit CSetupMenu(IMenuOwner& owner) noexcept : m_owner(owner) {}
    CSetupMenu(const CSetupMenu&) = delete;
    CSetupMenu& operator=(const CSetupMenu&) = delete;

    void ShowMainMenu();
    // TRUE when the command is one of the main menu's.
    BOOL OnMainMenuCommand(UINT id);
    void ShowAboutDialog();
    void ShowSettingsDialog();

private:
    IMenuOwner& m_owner;
};
