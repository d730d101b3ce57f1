// The program's one main window: a skinned, borderless, sizeable dialog
// (layout 103) with the header's tab strip and caption buttons, the two page
// areas and the footer with system information; it lives in the tray as
// well, answers the hot key and both menus, receives the download library's
// messages and runs the start-up timers.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "app/browser/UiHtmlListWindow.h"
#include "app/browser/UiHtmlSortWindow.h"
#include "app/mainwnd/MainDlgMessages.h"
#include "app/mainwnd/MenuOwner.h"
#include "app/mainwnd/MyIconMenu.h"
#include "app/mainwnd/PostedBlocks.h"
#include "app/mainwnd/SetupMenu.h"
#include "app/mainwnd/ShellIcon.h"
#include "base/MessageMap.h"
#include "skin/SkDialogImpl.h"
#include "skin/SkSizeableRoundRect.h"

constexpr UINT IDR_MAIN_LAYOUT = 103;

// Items of the main window's layout.
constexpr UINT IDC_MAIN_CLOSE = 60001;
constexpr UINT IDC_MAIN_MAXIMIZE = 60002;
constexpr UINT IDC_MAIN_MINIMIZE = 60003;
constexpr UINT IDC_MAIN_MENU = 60014;
constexpr UINT IDC_MAIN_FEEDBACK = 60015;
constexpr UINT IDC_MAIN_LOGO = 60016;
constexpr UINT IDC_MAIN_VERSION = 60024;
constexpr UINT IDC_FOOTER_VERSION = 60025;
constexpr UINT IDC_FOOTER_WINDOWS = 60020;
constexpr UINT IDC_FOOTER_RESOLUTION = 60022;
constexpr UINT IDC_FOOTER_RESTORE_THEME = 60026;
constexpr UINT IDC_MAIN_TABS = 136;
constexpr UINT IDC_MENU_BROWSER = 114;
constexpr UINT IDC_CONTENT_BROWSER = 115;

// The page areas' background while no page is shown.
constexpr COLORREF kPageBackground = RGB(0xFB, 0xFC, 0xFD);

// How long the window's end waits for an update package being fetched.
constexpr DWORD kUpdateWaitLimitMs = 60000;

class CCorvaneMainDlg : public CSkDialogImpl<CCorvaneMainDlg, CUiSizeableRoundRect<CCorvaneMainDlg>>,
                        public CShellIcon<CCorvaneMainDlg>,
                        public IMenuOwner {
public:
    CCorvaneMainDlg();

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // What the menus see of the window.
    HWND MenuWindow() const override { return m_hWnd; }
    // Quits, after asking while downloads run.
    void ConfirmQuit() override;
    CMyIconMenu& TrayMenu() noexcept { return m_trayMenu; }

    // Skin notifications from the view; handled cleared for the ones not taken.
    LRESULT OnSkinNotify(LPARAM lParam, BOOL& handled);
    void OnTimer(UINT_PTR id);
    LRESULT OnInitDialog();
    void OnSysCommand(WPARAM command, BOOL& handled);
    void OnDestroy();
    LRESULT OnHotKey();
    void OnShowWindow(BOOL show);

    void OnCloseButton();
    void ToggleMaximize();
    void OpenFeedbackPage();
    // The tab strip changes to index: the pages of that tab are loaded;
    // 1, every change is allowed.
    int SwitchTab(int index);
    // The left menu and the content page go to these addresses.
    void NavigatePages(const CString& menuUrl, const CString& contentUrl);

    // The saved size replaces the layout's when it is at least as large.
    void RestoreWindowSize();
    // Stores the window's normal-state size (also when it is minimised).
    void SaveWindowSize();

    // The link of the left menu; null (a message whose block was not in
    // flight for this window) does nothing. 0 either way.
    LRESULT OnMenuNavigate(const wchar_t* linkText);
    LRESULT OnShowTabPage(int tab, int page);
    // A block this window's PostListNavigate recorded; null does nothing.
    LRESULT OnListNavigate(std::unique_ptr<ListNavigateRequest> request);
    // A block this window's PostPageCall recorded; null does nothing.
    LRESULT OnPageCall(std::unique_ptr<PageCallRequest> request);
    LRESULT OnSelectTab(int index);
    LRESULT OnDownloadItem(int itemId, int listKind);
    // The download library's records; null (a message whose record the
    // library is not sending to this window) is ignored and answered 0.
    LRESULT OnDownloadProgress(const DownloadProgressInfo* info);
    LRESULT OnDownloadFinished(const DownloadFinishedInfo* info);
    LRESULT OnDownloadStopped(const DownloadStoppedInfo* info);

    // Posts a page call to this window; the block is freed on its arrival.
    bool PostPageCall(std::unique_ptr<PageCallRequest> request);
    // Posts an address for the content page to this window; the block is
    // freed on its arrival.
    bool PostListNavigate(std::unique_ptr<ListNavigateRequest> request);

    CUiHtmlSortWindow m_menuBrowser;
    CUiHtmlListWindow m_contentBrowser;
    std::vector<ActiveDownload> m_activeDownloads;
    CString m_strContentUrl;
    CString m_strErrorPage;
    CString m_strLeftPage;
    int m_bSkipTabNavigation = 0;
    // How long WM_DESTROY waits for an update package being fetched.
    DWORD m_updateWaitLimitMs = kUpdateWaitLimitMs;

private:
    // The window's message map, in the order its entries are tried.
    static const MessageEntry<CCorvaneMainDlg> s_messages[];

    void EndNow();
    // The two page areas, which show their waiting text; the content page's
    // script object answers to this window.
    void CreatePageAreas();
    // The browser controls in the page areas, and the pages of the tab
    // chosen before they were there.
    void CreatePageBrowsers();
    // What the start leaves until the window has been painted.
    void FinishStartAfterFirstPaint();
    // The program stops reaching them before they go.
    void ReleasePageBrowsers();

    bool m_startFinished = false;
    CPostedBlocks<PageCallRequest> m_pageCalls;
    CPostedBlocks<ListNavigateRequest> m_listNavigations;
    CMyIconMenu m_trayMenu{*this};
    CSetupMenu m_mainMenu{*this};
};
