// The real main window in this process with a recorder on each of its two
// real browser controls: what tests of where its pages go start from.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/mainwnd/MainDlg.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/RunApplication.h"
#include "skin/SkTabCtrl.h"
#include "tests/app/browser/BrowserTestSupport.h"
#include "tests/app/browser/NavigationRecorder.h"
#include "tests/support/TempFolder.h"

inline std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

class CMainWindowPagesTest : public testing::Test {
protected:
    // A fresh main window whose program folder is the test's own, with no
    // start request, no hot key and no start timer (its hot key, pending
    // downloads and update check are not wanted here). Its browser controls
    // are made at once, as after the first paint, unless the test wants to
    // see that step itself.
    void OpenMainWindow(bool finishStart = true)
    {
        static const bool skinStarted = [] {
            StartSkinLibrary();
            return true;
        }();
        (void)skinStarted;
        m_savedAppDir = _Module.m_strAppDir;
        _Module.m_strAppDir = m_temp.Path();
        _Module.m_bAutoRun = 0;
        _Module.m_nItemId = 0;
        _Module.m_nItemKind = 0;
        _Module.m_strHotKey = L"";
        _Module.m_nHotKeyVk = 0;
        m_dlg = std::make_unique<CCorvaneMainDlg>();
        ASSERT_NE(m_dlg->Create(nullptr), nullptr);
        KillTimer(m_dlg->m_hWnd, TIMER_STARTUP);
        if (!finishStart)
            return;
        FinishStart();
        m_menu.Listen(m_dlg->m_menuBrowser.Browser());
        m_content.Listen(m_dlg->m_contentBrowser.Browser());
    }
    // What the window leaves until after its first paint, now.
    void FinishStart()
    {
        KillTimer(m_dlg->m_hWnd, TIMER_AFTER_FIRST_PAINT);
        SendMessageW(m_dlg->m_hWnd, WM_TIMER, TIMER_AFTER_FIRST_PAINT, 0);
    }
    void TearDown() override
    {
        if (m_dlg && m_dlg->m_hWnd)
            DestroyWindow(m_dlg->m_hWnd);
        m_dlg.reset();
        if (!m_savedAppDir.IsEmpty())
            _Module.m_strAppDir = m_savedAppDir;
    }

    // Lets the controls' events come until neither browser has had a new
    // one for a while.
    void Settle()
    {
        size_t menu = m_menu.seen.size();
        size_t content = m_content.seen.size();
        DWORD quietSince = GetTickCount();
        PumpUntil([&] {
            if (m_menu.seen.size() != menu || m_content.seen.size() != content) {
                menu = m_menu.seen.size();
                content = m_content.seen.size();
                quietSince = GetTickCount();
            }
            return GetTickCount() - quietSince > 300;
        });
    }
    void Forget()
    {
        Settle();
        m_menu.seen.clear();
        m_content.seen.clear();
    }
    void SelectTab(int index)
    {
        m_dlg->m_view.SetTabCurSel(IDC_MAIN_TABS, index);
        Settle();
    }
    int SelectedTab() { return static_cast<CSkTabCtrl*>(m_dlg->m_view.FindItem(IDC_MAIN_TABS))->m_cursel; }

    CComApartment m_com;
    CTempFolder m_temp;
    CString m_savedAppDir;
    std::unique_ptr<CCorvaneMainDlg> m_dlg;
    CNavigationRecorder m_menu;
    CNavigationRecorder m_content;
};
