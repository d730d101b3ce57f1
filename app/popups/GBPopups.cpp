#include "app/popups/GBPopups.h"

#include "app/dialogs/GBSetup.h"
#include "app/dialogs/PopupRelease.h"
#include "app/install/PackageInstall.h"
#include "app/startup/CorvaneModule.h"
#include "skin/SkNotify.h"

std::atomic<int> CGBPopups::s_live{0};

namespace {
constexpr UINT kCloseButton = 60001;
constexpr UINT kApplyButton = 60005;
constexpr UINT kNameText = 60006;
constexpr UINT kNoMoreCheck = 60007;
} // namespace

CGBPopups::CGBPopups(const CString& name, int gid, int kind) : CSkDialogImpl(kFinishedPopupLayout)
{
    ++s_live;
    if (!name.IsEmpty() && gid > 0) {
        m_name = name;
        m_gid = gid;
        m_kind = kind;
    }
}

CGBPopups::~CGBPopups()
{
    --s_live;
}

BOOL CGBPopups::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_NOTIFY) {
        if (const SkItemClickNotify* click = AsItemClick(hwnd, lParam)) {
            if (OnSkinCommand(click->itemId)) {
                result = 0;
                return TRUE;
            }
        }
    }
    if (msg == WM_INITDIALOG) {
        ShowFinishedText();
        result = 0;
        return TRUE;
    }
    return CSkDialogImpl::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
}

BOOL CGBPopups::OnSkinCommand(UINT itemId)
{
    switch (itemId) {
    case kCloseButton:
        ::DestroyWindow(m_hWnd);
        return TRUE;
    case kApplyButton: {
        const int gid = m_gid;
        const int kind = m_kind;
        const HWND hwnd = m_hWnd;
        RunItem(gid, kind);
        if (IsWindow(hwnd))
            ::DestroyWindow(hwnd);
        return TRUE;
    }
    case kNoMoreCheck:
        SaveAlertSetting();
        return TRUE;
    default:
        return FALSE;
    }
}

void CGBPopups::ShowFinishedText()
{
    m_view.SetItemText(kNameText, m_name + L" 下载完毕！");
}

void CGBPopups::SaveAlertSetting()
{
    CSkWindow* check = m_view.FindItem(kNoMoreCheck);
    const int value = check && (check->m_state & SKS_CHECKED) ? 0 : 1;
    if (CGBSetup::WriteIniIntIfChanged(value, 0, L"AlertDown", L"Common",
                                       _Module.m_strAppDir + L"Config\\common.ini"))
        _Module.m_nAlertDown = value;
}

void CGBPopups::OnFinalMessage(HWND)
{
    ReleaseOwnedPopup(this);
}

void ShowDownloadFinishedPopup(const CString& name, int itemId, int kind)
{
    ShowPopupAtCorner(std::make_unique<CGBPopups>(name, itemId, kind));
}
