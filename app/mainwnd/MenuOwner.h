// What the tray menu and the main menu need from the window they belong to.
#pragma once

#include <windows.h>

class IMenuOwner {
public:
    // The window the menus belong to: their commands come to it as
    // WM_COMMAND, and the tray menu shows and hides it.
    virtual HWND MenuWindow() const = 0;
    // Quits, after asking while downloads run.
    virtual void ConfirmQuit() = 0;

protected:
    ~IMenuOwner() = default;
};
