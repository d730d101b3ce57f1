#include "app/mainwnd/AboutDlg.h"

#include <shellapi.h>

#include "app/common/ServerAddresses.h"
#include "app/startup/CorvaneModule.h"

BOOL CAboutDlg::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_NOTIFY && wParam == IDC_SKIN_VIEW && OnSkinNotify(lParam)) {
        result = 0;
        return TRUE;
    }
    if (msg == WM_INITDIALOG) {
        m_view.SetItemText(IDC_ABOUT_VERSION, _Module.m_strVersion);
        result = 0;
        return TRUE;
    }
    return CSkDialogImpl::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
}

BOOL CAboutDlg::OnSkinNotify(LPARAM lParam)
{
    const SkItemClickNotify* click = AsItemClick(m_hWnd, lParam);
    if (!click)
        return FALSE;
    switch (click->itemId) {
    case IDC_ABOUT_OK:
    case IDC_ABOUT_CLOSE:
        EndDialog(IDCANCEL);
        return TRUE;
    case IDC_ABOUT_LOGO:
        ShellExecuteW(nullptr, L"open", RAVONYX_WEB_SITE L"/", nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
    default:
        return FALSE;
    }
}
