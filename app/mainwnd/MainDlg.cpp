#include "app/mainwnd/MainDlg.h"

#include <shellapi.h>

#include "app/catalog/CatalogDownloads.h"
#include "app/catalog/DownloadRelay.h"
#include "app/common/ConfigCodec.h"
#include "app/common/ScreenGeometry.h"
#include "app/common/ServerAddresses.h"
#include "app/common/WindowsVersion.h"
#include "app/dialogs/AdPopupSchedule.h"
#include "app/dialogs/WebDlg.h"
#include "app/install/DefaultTheme.h"
#include "app/mainwnd/HotKey.h"
#include "app/mainwnd/ProgramFlags.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/StartupSteps.h"
#include "app/stats/UsageStats.h"
#include "app/update/ProgramQuitting.h"
#include "app/update/UpdateCheck.h"
#include "base/MarkedSend.h"
#include "base/Reflection.h"
#include "base/Thread.h"
#include "skin/CorvaneMsgBox.h"

namespace {

constexpr UINT kNewsPopupLayout = 133;
constexpr UINT kStartPopupLayout = 132;

CString SettingsFile()
{
    return _Module.m_strAppDir + L"Config\\common.ini";
}

// A setting as an integer: its default when absent, 0 when unreadable.
int ReadIntSetting(const wchar_t* section, const wchar_t* key, const wchar_t* fallback)
{
    CString value;
    ReadConfigValue(section, key, SettingsFile(), fallback, MAX_PATH, value);
    return _wtoi(value);
}

} // namespace

CCorvaneMainDlg::CCorvaneMainDlg() : CSkDialogImpl(IDR_MAIN_LAYOUT)
{
    // The view's tooltip is not needed for the first paint either.
    m_tooltipLater = TRUE;
}

// Skin notifications come first; the skin dialog, the frame and the tray
// icon have their entries before the window's own; what nobody took goes to
// the window's children as reflected notifications.
const MessageEntry<CCorvaneMainDlg>
    CCorvaneMainDlg::s_messages[] =
        {
            {WM_NOTIFY,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result) -> BOOL {
                 if (wParam != IDC_SKIN_VIEW)
                     return FALSE;
                 BOOL handled = TRUE;
                 result = dlg.OnSkinNotify(lParam, handled);
                 return handled;
             }},
            {kAnyMessage,
             [](CCorvaneMainDlg& dlg, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
                 -> BOOL { return dlg.ProcessSkinDialogMessage(hwnd, msg, wParam, lParam, result); }},
            {kAnyMessage,
             [](CCorvaneMainDlg& dlg, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                LRESULT& result) -> BOOL {
                 return dlg.CUiSizeableRoundRect<CCorvaneMainDlg>::ProcessWindowMessage(hwnd, msg, wParam,
                                                                                        lParam, result);
             }},
            {WM_TIMER,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM wParam, LPARAM, LRESULT&) -> BOOL {
                 dlg.OnTimer(wParam);
                 return FALSE; // every timer goes on down the map as well
             }},
            {kAnyMessage,
             [](CCorvaneMainDlg& dlg, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
                 -> BOOL { return dlg.CShellIcon::ProcessWindowMessage(hwnd, msg, wParam, lParam, result); }},
            {WM_COMMAND,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM wParam, LPARAM, LRESULT& result) -> BOOL {
                 if (HIWORD(wParam) != 0 || !dlg.m_mainMenu.OnMainMenuCommand(LOWORD(wParam)))
                     return FALSE;
                 result = 0;
                 return TRUE;
             }},
            {WM_INITDIALOG,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM, LPARAM, LRESULT& result) -> BOOL {
                 result = dlg.OnInitDialog();
                 return TRUE;
             }},
            {WM_SYSCOMMAND,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM wParam, LPARAM, LRESULT& result) -> BOOL {
                 BOOL handled = TRUE;
                 dlg.OnSysCommand(wParam, handled);
                 if (handled)
                     result = 0;
                 return handled;
             }},
            {WM_DESTROY,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM, LPARAM, LRESULT& result) -> BOOL {
                 dlg.OnDestroy();
                 result = 0;
                 return TRUE;
             }},
            {WM_HOTKEY,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM, LPARAM, LRESULT& result) -> BOOL {
                 result = dlg.OnHotKey();
                 return TRUE;
             }},
            {WM_SHOWWINDOW,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM wParam, LPARAM, LRESULT&) -> BOOL {
                 dlg.OnShowWindow(static_cast<BOOL>(wParam));
                 return FALSE;
             }},
            // The private messages. An address in wParam is read only when this
            // process recorded it for this window and message: any process may
            // send any number.
            {WM_MENU_NAVIGATE,
             [](CCorvaneMainDlg& dlg, HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) -> BOOL {
                 result = dlg.OnMenuNavigate(TakeMarkedBlock<wchar_t>(hwnd, msg, kMenuLinkKind, wParam));
                 return TRUE;
             }},
            {WM_LIST_NAVIGATE,
             [](CCorvaneMainDlg& dlg, HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) -> BOOL {
                 result = dlg.OnListNavigate(dlg.m_listNavigations.Take(hwnd, msg, wParam));
                 return TRUE;
             }},
            {WM_DOWNLOAD_PROGRESS,
             [](CCorvaneMainDlg& dlg, HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) -> BOOL {
                 result = dlg.OnDownloadProgress(DownloadRecord<DownloadProgressInfo>(hwnd, msg, wParam));
                 return TRUE;
             }},
            {WM_DOWNLOAD_FINISHED,
             [](CCorvaneMainDlg& dlg, HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) -> BOOL {
                 result = dlg.OnDownloadFinished(DownloadRecord<DownloadFinishedInfo>(hwnd, msg, wParam));
                 return TRUE;
             }},
            {WM_DOWNLOAD_STOPPED,
             [](CCorvaneMainDlg& dlg, HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) -> BOOL {
                 result = dlg.OnDownloadStopped(DownloadRecord<DownloadStoppedInfo>(hwnd, msg, wParam));
                 return TRUE;
             }},
            {WM_DOWNLOAD_ITEM,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result) -> BOOL {
                 result = dlg.OnDownloadItem(static_cast<int>(wParam), static_cast<int>(lParam));
                 return TRUE;
             }},
            {WM_SHOW_FINISHED_POPUP,
             [](CCorvaneMainDlg&, HWND hwnd, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result) -> BOOL {
                 result = ShowFinishedPopup(hwnd, static_cast<int>(wParam), static_cast<int>(lParam));
                 return TRUE;
             }},
            {WM_PAGE_CALL,
             [](CCorvaneMainDlg& dlg, HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) -> BOOL {
                 result = dlg.OnPageCall(dlg.m_pageCalls.Take(hwnd, msg, wParam));
                 return TRUE;
             }},
            {WM_SELECT_TAB,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM wParam, LPARAM, LRESULT& result) -> BOOL {
                 result = dlg.OnSelectTab(static_cast<int>(wParam));
                 return TRUE;
             }},
            {WM_SHOW_TAB_PAGE,
             [](CCorvaneMainDlg& dlg, HWND, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result) -> BOOL {
                 result = static_cast<int>(wParam) > 0
                              ? dlg.OnShowTabPage(static_cast<int>(wParam), static_cast<int>(lParam))
                              : 1;
                 return TRUE;
             }},
            {kAnyMessage,
             [](CCorvaneMainDlg&, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                LRESULT& result) -> BOOL { return ReflectNotifications(hwnd, msg, wParam, lParam, result); }},
};

BOOL CCorvaneMainDlg::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return ProcessMessageTable(s_messages, *this, hwnd, msg, wParam, lParam, result);
}

LRESULT CCorvaneMainDlg::OnSkinNotify(LPARAM lParam, BOOL& handled)
{
    if (SkTabChangeNotify* change = AsTabChanging(m_hWnd, lParam)) {
        if (change->tabCtrlId != IDC_MAIN_TABS) {
            handled = FALSE;
            return 0;
        }
        if (SwitchTab(change->newSel) == 0)
            change->cancel = TRUE;
        return 0;
    }
    const SkItemClickNotify* click = AsItemClick(m_hWnd, lParam);
    if (!click) {
        handled = FALSE;
        return 0;
    }
    switch (click->itemId) {
    case IDC_MAIN_CLOSE:
        OnCloseButton();
        break;
    case IDC_MAIN_MAXIMIZE:
        ToggleMaximize();
        break;
    case IDC_MAIN_MINIMIZE:
        SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE | HTCAPTION, 0);
        break;
    case IDC_MAIN_MENU:
        m_mainMenu.ShowMainMenu();
        break;
    case IDC_MAIN_FEEDBACK:
        OpenFeedbackPage();
        break;
    case IDC_MAIN_LOGO:
        ShellExecuteW(nullptr, L"open", RAVONYX_WEB_SITE L"/", nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case IDC_FOOTER_RESTORE_THEME:
        RestoreDefaultTheme();
        break;
    default:
        handled = FALSE;
        break;
    }
    return 0;
}

void CCorvaneMainDlg::OnTimer(UINT_PTR id)
{
    switch (id) {
    case TIMER_AFTER_FIRST_PAINT:
        KillTimer(m_hWnd, id);
        FinishStartAfterFirstPaint();
        break;
    case TIMER_STARTUP:
        KillTimer(m_hWnd, id);
        if (!_Module.m_strHotKey.IsEmpty() && _Module.m_nHotKeyVk != 0)
            RegisterHotKeyFromText(m_hWnd, _Module.m_strHotKey, HotKeyId(),
                                   static_cast<UINT>(_Module.m_nHotKeyVk));
        AutoDownloadPending();
        SetTimer(m_hWnd, TIMER_UPDATE_CHECK, 2000, nullptr);
        break;
    case TIMER_UPDATE_CHECK:
        KillTimer(m_hWnd, id);
        StartDetachedThread([] { CheckForUpdate(kUpdateCheckSilent); });
        break;
    case TIMER_NEWS_POPUP:
    case TIMER_NEWS_REPEAT:
        KillTimer(m_hWnd, id);
        if (!g_bNewsDlgOpen)
            RequestWebPopup(m_hWnd, L"news", kNewsPopupLayout, kWebPopupNews);
        break;
    case TIMER_START_POPUP:
        KillTimer(m_hWnd, id);
        if (!g_bAdPopupOpen)
            RequestWebPopup(m_hWnd, L"start", kStartPopupLayout, kWebPopupAd);
        break;
    case TIMER_MIN_POPUP:
        KillTimer(m_hWnd, id);
        if (!g_bAdPopupOpen)
            RequestWebPopup(m_hWnd, L"min", kStartPopupLayout, kWebPopupAd);
        break;
    case TIMER_RUN_REPORT:
        KillTimer(m_hWnd, id);
        ReportAdInfo(_Module.m_bAutoRun ? L"hiderun" : L"normalrun");
        RemindSetHomePage(m_hWnd);
        break;
    case TIMER_SHOW_REPORT:
        KillTimer(m_hWnd, id);
        ReportAdInfo(L"showrun");
        break;
    default:
        break;
    }
}

LRESULT CCorvaneMainDlg::OnInitDialog()
{
    MarkStartupStep("layout, window");
    m_strErrorPage = _Module.m_strAppDir + L"Local\\management\\error.html";
    m_strLeftPage = _Module.m_strAppDir + L"Local\\management\\left.html";

    HINSTANCE instance = ThisModuleInstance();
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconW(instance, MAKEINTRESOURCEW(100))));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconW(instance, MAKEINTRESOURCEW(101))));

    // A later instance finds this window through the block.
    _Module.m_instanceMapping.WriteWindow(m_hWnd);

    // The browser controls and the tray icon follow the first paint.
    CreatePageAreas();
    MarkStartupStep("page areas");

    m_view.SetItemText(IDC_MAIN_VERSION, _Module.m_strVersion);
    m_view.SetItemText(IDC_FOOTER_VERSION, _Module.m_strVersion);
    CString text;
    m_view.SetItemText(IDC_FOOTER_WINDOWS, WindowsVersionName(text));
    m_view.SetItemText(IDC_FOOTER_RESOLUTION, ScreenResolutionText(text, L"%dX%d"));

    MarkStartupStep("item texts");
    InitDll(m_hWnd);
    MarkStartupStep("download library");

    if (_Module.m_bAutoRun) {
        // Hidden in the tray; the tab and the timers follow on the first show.
        m_show = FALSE;
    } else {
        if (_Module.m_nItemId > 0 && _Module.m_nItemKind > 0) {
            SendMessageW(m_hWnd, WM_DOWNLOAD_ITEM, static_cast<WPARAM>(_Module.m_nItemId),
                         static_cast<LPARAM>(_Module.m_nItemKind));
            _Module.m_nItemId = 0;
            _Module.m_nItemKind = 0;
        } else {
            m_view.SetTabCurSel(IDC_MAIN_TABS, 1);
        }
        SetTimer(m_hWnd, TIMER_STARTUP, 1000, nullptr);
    }

    SetTimer(m_hWnd, TIMER_AFTER_FIRST_PAINT, USER_TIMER_MINIMUM, nullptr);
    RestoreWindowSize();
    MarkStartupStep("tab, timers, saved size");
    return 1;
}

void CCorvaneMainDlg::FinishStartAfterFirstPaint()
{
    // Once, whoever else sends this timer's message.
    if (m_startFinished)
        return;
    m_startFinished = true;
    MarkStartupStep("timer after the first paint");
    m_view.CreateTooltip();
    MarkStartupStep("view tooltip");
    CreatePageBrowsers();
    MarkStartupStep("browsers");
    AddIcon();
    MarkStartupStep("tray icon");
    // The network wait loads the network libraries and makes its first
    // probe; neither is for the first paint.
    HWND mainWnd = m_hWnd;
    StartDetachedThread([mainWnd] { WaitForNetworkThread(mainWnd); });
    MarkStartupStep("network wait started");
}

void CCorvaneMainDlg::OnShowWindow(BOOL show)
{
    if (!show || !_Module.m_bAutoRun)
        return;
    _Module.m_bAutoRun = 0;
    m_view.SetTabCurSel(IDC_MAIN_TABS, 1);
    SetTimer(m_hWnd, TIMER_STARTUP, 10, nullptr);
    SetTimer(m_hWnd, TIMER_SHOW_REPORT, 30, nullptr);
}

void CCorvaneMainDlg::OnSysCommand(WPARAM command, BOOL& handled)
{
    const LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    switch (command & 0xFFF0) {
    case SC_MAXIMIZE:
        m_view.SetItemAttribute(IDC_MAIN_MAXIMIZE, "skin", "restorebtn");
        handled = FALSE;
        break;
    case SC_RESTORE:
        if (!(style & WS_MINIMIZE))
            m_view.SetItemAttribute(IDC_MAIN_MAXIMIZE, "skin",
                                    (style & WS_MAXIMIZE) ? "maxbtn" : "restorebtn");
        handled = FALSE;
        break;
    case SC_CLOSE:
        if (!MsgBoxOnScreen)
            EndNow();
        break;
    default:
        handled = FALSE;
        break;
    }
}

LRESULT CCorvaneMainDlg::OnHotKey()
{
    if (IsWindowVisible(m_hWnd)) {
        ShowWindow(m_hWnd, SW_HIDE);
        RemoveIcon();
    } else {
        ShowWindow(m_hWnd, SW_SHOW);
        AddIcon();
    }
    return 0;
}

void CCorvaneMainDlg::OnDestroy()
{
    ReleasePageBrowsers();
    RecordStoppedDownloads(m_activeDownloads);
    SaveWindowSize();
    // An update package being fetched holds the end back, but not forever;
    // the update check stops waiting for the updater's file once it hears
    // of the end.
    SignalProgramQuitting();
    const ULONGLONG deadline = GetTickCount64() + m_updateWaitLimitMs;
    while (_Module.m_bUpdateRunning == 1 && GetTickCount64() < deadline)
        Sleep(100);
    UnregisterHotKey(m_hWnd, HotKeyId());
}

void CCorvaneMainDlg::OnCloseButton()
{
    if (ReadIntSetting(L"Common", L"MinOrClose", L"1") == 0) {
        EndNow();
        return;
    }
    ShowWindow(m_hWnd, SW_HIDE);
    if (g_bOnline) {
        if (_Module.m_nSubscription != 0)
            ScheduleAdPopup(m_hWnd, kSchedulePopupNews);
        if (_Module.m_nReceiveAd != 0)
            ScheduleAdPopup(m_hWnd, kSchedulePopupMin);
    }
}

void CCorvaneMainDlg::EndNow()
{
    EndDialog(IDCANCEL);
}

void CCorvaneMainDlg::ToggleMaximize()
{
    const LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SendMessageW(m_hWnd, WM_SYSCOMMAND,
                 (style & WS_MAXIMIZE) ? (SC_RESTORE | HTCAPTION) : (SC_MAXIMIZE | HTCAPTION), 0);
}

void CCorvaneMainDlg::OpenFeedbackPage()
{
    // A modal web dialog belongs to its opener: it goes with this frame.
    CWebDlgForFeedback feedback(RAVONYX_CONTENT_SITE L"feedback.html", m_strErrorPage);
    feedback.DoModal();
}

LRESULT CCorvaneMainDlg::OnDownloadItem(int itemId, int listKind)
{
    if (itemId <= 0 || listKind <= 0)
        return 1;
    AddItemAndDownload(m_hWnd, itemId, listKind, 1);
    return 0;
}

LRESULT CCorvaneMainDlg::OnPageCall(std::unique_ptr<PageCallRequest> request)
{
    if (request)
        RunPageScriptRequest(std::move(request));
    return 0;
}

LRESULT CCorvaneMainDlg::OnSelectTab(int index)
{
    m_view.SetTabCurSel(IDC_MAIN_TABS, index);
    return 0;
}

LRESULT CCorvaneMainDlg::OnDownloadProgress(const DownloadProgressInfo* info)
{
    return info ? RelayDownloadProgress(m_activeDownloads, m_strContentUrl, *info) : 0;
}

LRESULT CCorvaneMainDlg::OnDownloadFinished(const DownloadFinishedInfo* info)
{
    return info ? RelayDownloadFinished(m_hWnd, m_activeDownloads, m_pageCalls, *info) : 0;
}

LRESULT CCorvaneMainDlg::OnDownloadStopped(const DownloadStoppedInfo* info)
{
    return info ? RelayDownloadStopped(m_activeDownloads, *info) : 0;
}

void CCorvaneMainDlg::ConfirmQuit()
{
    if (!m_activeDownloads.empty() &&
        CCorvaneMsgBox::Show(L"有文件正在下载中，您确定退出吗！", L"退出提示", MB_YESNO) != IDYES)
        return;
    PostQuitMessage(0);
}

bool CCorvaneMainDlg::PostPageCall(std::unique_ptr<PageCallRequest> request)
{
    return m_pageCalls.Post(m_hWnd, WM_PAGE_CALL, std::move(request));
}

void CCorvaneMainDlg::RestoreWindowSize()
{
    const int height = ReadIntSetting(L"ProXYSet", L"Height", L"0");
    const int width = ReadIntSetting(L"ProXYSet", L"Width", L"0");
    if (width >= m_view.m_width && height >= m_view.m_height) {
        m_view.m_width = width;
        m_view.m_height = height;
    }
}

void CCorvaneMainDlg::SaveWindowSize()
{
    RECT rect;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (IsIconic(m_hWnd)) {
        // A minimised window's rectangle is the icon's: take the size it
        // comes back to.
        if (!GetWindowPlacement(m_hWnd, &placement))
            return;
        rect = placement.rcNormalPosition;
    } else if (!GetWindowRect(m_hWnd, &rect)) {
        return;
    }
    CString height;
    height.Format(L"%d", static_cast<int>(rect.bottom - rect.top));
    CString width;
    width.Format(L"%d", static_cast<int>(rect.right - rect.left));
    WriteConfigValues({{L"ProXYSet", L"Height", height}, {L"ProXYSet", L"Width", width}}, SettingsFile());
}
