// The about dialog: the program's version and a link to the web site.
#pragma once

#include <windows.h>

#include "skin/SkDialogImpl.h"

constexpr UINT IDR_ABOUT_LAYOUT = 126;
constexpr UINT IDC_ABOUT_VERSION = 60024;
constexpr UINT IDC_ABOUT_OK = 30504;
constexpr UINT IDC_ABOUT_CLOSE = 60001;
constexpr UINT IDC_ABOUT_LOGO = 60017;

class CAboutDlg : public CSkDialogImpl<CAboutDlg> {
public:
    CAboutDlg() : CSkDialogImpl(IDR_ABOUT_LAYOUT) {}

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // TRUE when the notification was taken.
    BOOL OnSkinNotify(LPARAM lParam);
};
