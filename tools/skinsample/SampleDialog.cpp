#include "SampleDialog.h"

#include "Screenshot.h"
#include "skin/CorvaneMsgBox.h"
#include "skin/SkWinManager.h"

namespace {

constexpr UINT kLayoutId = 200;
constexpr UINT_PTR kScreenshotTimer = 1;
constexpr UINT_PTR kMessageBoxShotTimer = 2;
// Long enough for the window to be drawn and shown on the X screen.
constexpr UINT kScreenshotDelayMs = 800;

constexpr UINT kCloseButton = 60001;
constexpr UINT kFirstPage = 201;
constexpr UINT kProgress = 210;
constexpr UINT kForward = 211;
constexpr UINT kBack = 212;
constexpr UINT kClose = 213;
constexpr UINT kRichTextLink = 215;

} // namespace

CSampleDialog::CSampleDialog(const CString& screenshotPath)
    : CSkDialogImpl(kLayoutId), m_screenshotPath(screenshotPath)
{
}

BOOL CSampleDialog::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (!m_screenshotPath.IsEmpty()) {
            // Above the windows of programs running beside it.
            SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            SetTimer(hwnd, kScreenshotTimer, kScreenshotDelayMs, nullptr);
        }
        result = TRUE;
        return TRUE;
    case WM_TIMER:
        if (wParam == kMessageBoxShotTimer) {
            // Comes while the message box runs: this dialog is its owner.
            KillTimer(hwnd, kMessageBoxShotTimer);
            SaveMessageBoxScreenshot();
            result = 0;
            return TRUE;
        }
        if (wParam != kScreenshotTimer)
            break;
        KillTimer(hwnd, kScreenshotTimer);
        SaveScreenshots();
        ShowMessageBoxForScreenshot();
        EndDialog(0);
        result = 0;
        return TRUE;
    case WM_NOTIFY: {
        const auto* hdr = OurNotifyRecord<NMHDR>(hwnd, lParam);
        if (!hdr || hdr->idFrom != IDC_SKIN_VIEW)
            break;
        if (const SkItemClickNotify* click = AsItemClick(hwnd, lParam))
            OnItemClick(*click);
        else if (const SkTabChangeNotify* change = AsTabChanging(hwnd, lParam))
            OnTabChanging(*change);
        result = 0;
        return TRUE;
    }
    default:
        break;
    }
    return CSkDialogImpl::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
}

void CSampleDialog::OnItemClick(const SkItemClickNotify& click)
{
    switch (click.itemId) {
    case IDCANCEL:
    case kCloseButton:
    case kClose:
        EndDialog(static_cast<int>(click.itemId));
        break;
    case kForward:
        StepProgress(10);
        break;
    case kBack:
        StepProgress(-10);
        break;
    case kRichTextLink:
        CCorvaneMsgBox::Show(L"这是皮肤库的消息框：按钮、标题和图标都由消息框的类型决定。", L"提示",
                             MB_OK | MB_ICONASTERISK);
        break;
    default:
        break;
    }
}

void CSampleDialog::OnTabChanging(const SkTabChangeNotify& change)
{
    if (change.oldSel >= 0)
        m_view.SetItemVisible(kFirstPage + change.oldSel, FALSE);
    if (change.newSel >= 0)
        m_view.SetItemVisible(kFirstPage + change.newSel, TRUE);
}

void CSampleDialog::StepProgress(int delta)
{
    m_progress = m_progress + delta < 0 ? 0 : (m_progress + delta > 100 ? 100 : m_progress + delta);
    m_view.SetItemIntAttribute(kProgress, "value", static_cast<UINT>(m_progress));
}

// The window as the screen shows it, on a margin of desktop, and the view's
// own drawing through WM_PRINT beside it.
void CSampleDialog::SaveScreenshots()
{
    RECT window;
    GetWindowRect(m_hWnd, &window);
    InflateRect(&window, 16, 16);
    const BOOL screen = SaveScreenArea(window, m_screenshotPath);
    CString printPath = m_screenshotPath;
    const int dot = printPath.ReverseFind(L'.');
    if (dot > 0)
        printPath = printPath.Left(dot);
    const BOOL printed = SavePrintedWindow(m_view.m_hWnd, printPath + L"-print.png");
    m_saved = screen && printed;
}

void CSampleDialog::ShowMessageBoxForScreenshot()
{
    BOOL saved = m_saved;
    m_saved = FALSE;
    SetTimer(m_hWnd, kMessageBoxShotTimer, kScreenshotDelayMs, nullptr);
    CCorvaneMsgBox::Show(L"主题已下载完成，是否立即应用？", L"下载完成", MB_YESNO | MB_ICONQUESTION);
    m_saved = saved && m_saved;
}

void CSampleDialog::SaveMessageBoxScreenshot()
{
    RECT window;
    GetWindowRect(m_hWnd, &window);
    InflateRect(&window, 16, 16);
    CString path = m_screenshotPath;
    const int dot = path.ReverseFind(L'.');
    if (dot > 0)
        path = path.Left(dot);
    m_saved = SaveScreenArea(window, path + L"-msgbox.png");
    // The box is this thread's active skin dialog now.
    SkWinManager* manager = SkWinManager::Instance();
    HWND box = manager ? manager->GetActiveDialog() : nullptr;
    if (auto* msgBox = dynamic_cast<CCorvaneMsgBox*>(CWindowImpl::FromHandle(box)))
        msgBox->EndDialog(IDYES);
}
