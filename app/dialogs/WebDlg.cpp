#include "app/dialogs/WebDlg.h"

#include "app/common/ScreenGeometry.h"
#include "app/dialogs/PopupRelease.h"
#include "app/mainwnd/ProgramFlags.h"

int g_nAdPopupWidth = 0;
int g_nAdPopupHeight = 0;

namespace {

constexpr UINT kNewsLayout = 133;
constexpr int kNewsWidth = 700;
constexpr int kNewsHeight = 450;

} // namespace

CWebDlg::CWebDlg(const CString& url, const CString& secondPage, UINT layoutId)
    : CSkDialogImpl(layoutId), m_strUrl(url), m_strSecondPage(secondPage)
{
}

CWebDlg::~CWebDlg()
{
    m_external.ClearOwner(this);
}

HWND CWebDlg::OpenModeless(std::unique_ptr<CWebDlg> dialog)
{
    if (!dialog)
        return nullptr;
    HWND hwnd = dialog->Create(nullptr);
    if (!hwnd)
        return nullptr; // the object goes with the unique_ptr
    dialog.release()->m_deleteOnFinal = true;
    return hwnd;
}

BOOL CWebDlg::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_NOTIFY) {
        if (const SkItemClickNotify* click = AsItemClick(hwnd, lParam)) {
            if (OnSkCommand(click->itemId)) {
                result = 0;
                return TRUE;
            }
        }
    }
    if (msg == WM_DESTROY)
        OnDestroy(); // and on down the map
    if (msg == WM_CLOSE_POPUP) {
        DestroyWindow();
        result = 0;
        return TRUE;
    }
    if (CSkDialogImpl::ProcessWindowMessage(hwnd, msg, wParam, lParam, result))
        return TRUE;
    switch (msg) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    case WM_TIMER:
        OnTimer(wParam);
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

bool CWebDlg::OnSkCommand(UINT itemId)
{
    switch (itemId) {
    case IDC_CLOSE_BUTTON:
        CloseDialog();
        return true;
    case IDC_MINIMIZE_BUTTON:
        MinimizeDialog();
        return true;
    default:
        return false;
    }
}

bool CWebDlg::CreateContainer()
{
    RECT none = {};
    if (!m_container.Create(m_view.m_hWnd, none, WS_CHILD | WS_VISIBLE, 0, IDC_WEB_BROWSER))
        return false;
    m_container.SetBackgroundColor(kBackground);
    m_container.CreateBrowser();
    return true;
}

void CWebDlg::OpenPages()
{
    if (!m_strSecondPage.IsEmpty())
        m_container.SetErrorPage(m_strSecondPage);
    m_container.Navigate(m_strUrl);
}

LRESULT CWebDlg::OnInitDialog()
{
    // The page reaches this dialog, and only this one, through window.external.
    const bool created = CreateContainer();
    m_external.SetOwner(this);
    if (created) {
        m_container.SetExternalDispatch(&m_external);
        OpenPages();
    }
    return 1;
}

void CWebDlg::CloseDialog()
{
    DestroyWindow();
}

void CWebDlg::ClosePopup(int)
{
    // The page's script call is still running: the window (and the browser
    // with it) goes once the call has returned.
    if (m_hWnd)
        PostMessageW(m_hWnd, WM_CLOSE_POPUP, 0, 0);
}

void CWebDlg::CPageContainer::InstallUIHandler(IHTMLDocument2* document)
{
    SetDocumentUIHandler(document, &m_owner.m_uiHandler);
}

void CWebDlg::OnTimer(UINT_PTR id)
{
    if (id == TIMER_SHOW_NEWS) {
        KillTimer(m_hWnd, id);
        PlaceNewsWindow();
    } else if (id == TIMER_SHOW_AD) {
        KillTimer(m_hWnd, id);
        PlaceAdWindow();
    }
}

void CWebDlg::PlaceNewsWindow()
{
    // Behind the other windows: the news does not take the user's attention.
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kNewsWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kNewsHeight) / 2;
    SetWindowPos(m_hWnd, HWND_BOTTOM, x, y, kNewsWidth, kNewsHeight, SWP_SHOWWINDOW);
}

void CWebDlg::PlaceAdWindow()
{
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    const RECT wanted = {window.right - g_nAdPopupWidth, window.bottom - g_nAdPopupHeight, window.right,
                         window.bottom};
    RECT corner = {};
    PopupCornerRect(corner, wanted);
    KeepInsideWorkArea(corner);
    const LONG_PTR exStyle = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    const LONG_PTR toolStyle = (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    if (toolStyle != exStyle)
        SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, toolStyle);
    SetWindowPos(m_hWnd, HWND_TOPMOST, corner.left, corner.top, corner.right - corner.left,
                 corner.bottom - corner.top, SWP_SHOWWINDOW);
}

void CWebDlg::OnDestroy()
{
    // However the window goes (close button, page, owner), its kind may open again.
    if (BOOL* flag = KindFlag())
        *flag = FALSE;
    m_external.ClearOwner(this);
}

void CWebDlg::OnFinalMessage(HWND)
{
    if (!m_deleteOnFinal)
        return; // a modal dialog belongs to its opener
    // The view may outlive the dialog's window for a moment: the object goes
    // once the view has gone as well.
    ReleasePopup(this);
}

CWebDlgForNew::CWebDlgForNew(const CString& url, const CString& secondPage)
    : CWebDlg(url, secondPage, kNewsLayout)
{
}

LRESULT CWebDlgForNew::OnInitDialog()
{
    SetWindowTextW(m_hWnd, L"拉沃资讯");
    const LRESULT result = CWebDlg::OnInitDialog();
    g_bNewsDlgOpen = TRUE;
    return result;
}

void CWebDlgForNew::MinimizeDialog()
{
    SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE | 0x2, 0);
}

BOOL* CWebDlgForNew::KindFlag()
{
    return &g_bNewsDlgOpen;
}

CWebDlgForNewRb::CWebDlgForNewRb(const CString& url, const CString& secondPage, UINT layoutId)
    : CWebDlg(url, secondPage, layoutId)
{
}

BOOL* CWebDlgForNewRb::KindFlag()
{
    return &g_bAdPopupOpen;
}

CWebDlgForFeedback::CWebDlgForFeedback(const CString& url, const CString& secondPage)
    : CWebDlgForNewRb(url, secondPage, kLayoutId)
{
}
