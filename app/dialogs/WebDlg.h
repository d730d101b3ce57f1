// Web dialogs: skin dialogs whose body is one browser (control 117) showing a
// server page, with a local page to fall back on.
//
// - CWebDlgForNew: the news window (layout 133), modeless, centred at 700 x 450.
// - CWebDlgForNewRb: the advertising pop-up (layout 132), modeless, at the
//   screen corner at the size the server gave.
// - CWebDlgForFeedback: the feedback window (layout 127), run modally.
//
// Each dialog gives its own page a script object of its own, so a page's
// Ex_CloseRbPopDlg reaches only the dialog that shows it. The close is posted
// and carried out once the page's call has returned.
//
// Modeless dialogs are made with new and delete themselves after their window
// is gone (OpenModeless); a modal one belongs to its opener.
#pragma once

#include <windows.h>

#include <memory>

#include "app/browser/BrowserExternalRB.h"
#include "app/browser/ImpDocHostUIHandle.h"
#include "app/browser/ScriptPopupOwner.h"
#include "app/browser/UiHtmlContainerWindow.h"
#include "base/RefString.h"
#include "skin/SkDialogImpl.h"

// The size the server gave the advertising pop-up, in pixels.
extern int g_nAdPopupWidth;
extern int g_nAdPopupHeight;

// The fallback page of the pop-ups, under the program folder.
constexpr const wchar_t* kWebDlgFallbackPage = L"Local\\management\\min.html";

class CWebDlg : public CSkDialogImpl<CWebDlg>, public CScriptPopupOwner {
public:
    enum : UINT {
        IDC_WEB_BROWSER = 117,
        IDC_CLOSE_BUTTON = 60001,
        IDC_MINIMIZE_BUTTON = 60003,
        TIMER_SHOW_NEWS = 10,
        TIMER_SHOW_AD = 11,
        WM_CLOSE_POPUP = WM_APP + 0x143,
    };
    static constexpr COLORREF kBackground = 0xFDFCFB;

    CWebDlg(const CString& url, const CString& secondPage, UINT layoutId);
    ~CWebDlg() override;

    // Creates the modeless window with the desktop as parent; from then on the
    // dialog deletes itself once its window is gone. Null, with the object
    // deleted, when no window could be made.
    static HWND OpenModeless(std::unique_ptr<CWebDlg> dialog);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The page's close request: posted, carried out after the script call.
    void ClosePopup(int value) override;

    CUiHtmlContainerWindow& Container() noexcept { return m_container; }
    // The script object this dialog's page sees as window.external.
    CBrowserExternalRB& PageExternal() noexcept { return m_external; }
    const CString& Url() const noexcept { return m_strUrl; }
    const CString& SecondPage() const noexcept { return m_strSecondPage; }

protected:
    virtual LRESULT OnInitDialog();
    virtual void CloseDialog();
    virtual void MinimizeDialog() {}
    // The flag that keeps a second window of this kind from opening, or null.
    virtual BOOL* KindFlag() { return nullptr; }

    void OnFinalMessage(HWND hwnd) override;

    bool CreateContainer();
    void OpenPages();

private:
    // The UI handler of this dialog's documents: the shared behaviour with the
    // dialog's own script object as window.external.
    class CPageUIHandler : public CImpDocHostUIHandle {
    public:
        explicit CPageUIHandler(CWebDlg& owner) : m_owner(owner) {}

    protected:
        IDispatch* PageExternal() override { return &m_owner.m_external; }

    private:
        CWebDlg& m_owner;
    };
    class CPageContainer : public CUiHtmlContainerWindow {
    public:
        explicit CPageContainer(CWebDlg& owner) : m_owner(owner) {}

    protected:
        void InstallUIHandler(IHTMLDocument2* document) override;

    private:
        CWebDlg& m_owner;
    };

    bool OnSkCommand(UINT itemId);
    void OnTimer(UINT_PTR id);
    void PlaceNewsWindow();
    void PlaceAdWindow();
    void OnDestroy();

    CString m_strUrl;
    CString m_strSecondPage;
    CBrowserExternalRB m_external;
    CPageUIHandler m_uiHandler{*this};
    CPageContainer m_container{*this};
    bool m_deleteOnFinal = false;
};

class CWebDlgForNew : public CWebDlg {
public:
    CWebDlgForNew(const CString& url, const CString& secondPage);

protected:
    LRESULT OnInitDialog() override;
    void MinimizeDialog() override;
    BOOL* KindFlag() override;
};

class CWebDlgForNewRb : public CWebDlg {
public:
    CWebDlgForNewRb(const CString& url, const CString& secondPage, UINT layoutId = 132);

protected:
    BOOL* KindFlag() override;
};

class CWebDlgForFeedback : public CWebDlgForNewRb {
public:
    static constexpr UINT kLayoutId = 127;
    CWebDlgForFeedback(const CString& url, const CString& secondPage);

protected:
    BOOL* KindFlag() override { return nullptr; }
};
