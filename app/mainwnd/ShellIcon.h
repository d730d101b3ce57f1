// The tray icon of the main window: added at start, taken away and brought
// back by the hot key, added again when the shell restarts, and its
// right-click menu. T is the main window; its TrayMenu() shows the tray menu
// (ShowTrayMenu) and runs its commands (OnTrayCommand).
#pragma once

#include <shellapi.h>
#include <windows.h>

#include <cwchar>

#include "app/mainwnd/MainDlgMessages.h"
#include "base/AppModule.h"
#include "base/RefString.h"

constexpr UINT kTrayIconId = 101;
constexpr UINT kTrayIconResource = 101;
// NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO
constexpr UINT kTrayIconFlags = 23;
// The record's size is the version-3 size of the platform: 952 bytes in the
// 32-bit program, 968 in the 64-bit one (where 952 is the version-2 size,
// with which the shell refuses NIM_DELETE).
constexpr DWORD kTrayRecordSize = NOTIFYICONDATAW_V3_SIZE;
#if defined(_WIN64)
static_assert(kTrayRecordSize == 968, "64-bit version-3 tray record");
#else
static_assert(kTrayRecordSize == 952, "32-bit version-3 tray record");
#endif

template <typename T> class CShellIcon {
public:
    CShellIcon() : m_uTaskbarCreated(RegisterWindowMessageW(L"TaskbarCreated")), m_strTip(L"拉沃工坊")
    {
        ZeroMemory(&m_nid, sizeof(m_nid));
    }
    CShellIcon(const CShellIcon&) = delete;
    CShellIcon& operator=(const CShellIcon&) = delete;
    ~CShellIcon() { RemoveIcon(); }

    BOOL AddIcon()
    {
        ZeroMemory(&m_nid, sizeof(m_nid));
        m_nid.cbSize = kTrayRecordSize;
        m_nid.hWnd = Owner().m_hWnd;
        m_nid.uID = kTrayIconId;
        m_nid.uFlags = kTrayIconFlags;
        m_nid.uCallbackMessage = WM_TRAY_NOTIFY;
        m_nid.hIcon = LoadIconW(ThisModuleInstance(), MAKEINTRESOURCEW(kTrayIconResource));
        wcsncpy(m_nid.szTip, m_strTip, _countof(m_nid.szTip) - 1);
        wcsncpy(m_nid.szInfoTitle, m_strTip, _countof(m_nid.szInfoTitle) - 1);
        m_nid.dwInfoFlags = NIIF_USER;
        return Shell_NotifyIconW(NIM_ADD, &m_nid);
    }

    BOOL RemoveIcon()
    {
        if (!m_nid.hWnd)
            return FALSE;
        return Shell_NotifyIconW(NIM_DELETE, &m_nid);
    }

    BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        if (msg == WM_TRAY_NOTIFY) {
            result = OnNotifyIcon(wParam, lParam);
            return TRUE;
        }
        if (msg == m_uTaskbarCreated && m_uTaskbarCreated != 0) {
            result = OnTaskbarCreated();
            return TRUE;
        }
        if (msg == WM_COMMAND && HIWORD(wParam) == 0 && Owner().TrayMenu().OnTrayCommand(LOWORD(wParam))) {
            result = 0;
            return TRUE;
        }
        return FALSE;
    }

    LRESULT OnNotifyIcon(WPARAM id, LPARAM mouseMessage)
    {
        if (id != kTrayIconId)
            return 1;
        HWND main = Owner().m_hWnd;
        if (mouseMessage == WM_LBUTTONUP) {
            ShowWindow(main, SW_SHOW);
            OpenIcon(main);
        } else if (mouseMessage == WM_RBUTTONUP) {
            // Clearing the balloon text removes a balloon that is up.
            const wchar_t first = m_nid.szInfo[0];
            m_nid.szInfo[0] = L'\0';
            Shell_NotifyIconW(NIM_MODIFY, &m_nid);
            Owner().TrayMenu().ShowTrayMenu();
            m_nid.szInfo[0] = first;
        }
        return 0;
    }

    // The shell restarted: the icon is added again.
    LRESULT OnTaskbarCreated()
    {
        ZeroMemory(&m_nid, sizeof(m_nid));
        m_nid.cbSize = kTrayRecordSize;
        m_nid.hWnd = Owner().m_hWnd;
        m_nid.uID = kTrayIconId;
        Shell_NotifyIconW(NIM_DELETE, &m_nid);
        AddIcon();
        return 0;
    }

    UINT m_uTaskbarCreated;
    CString m_strTip;
    NOTIFYICONDATAW m_nid;

private:
    T& Owner() { return *static_cast<T*>(this); }
};
