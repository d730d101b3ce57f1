// A window that shows one web page: it hosts the WebBrowser control in a
// child window (control id 6), navigates with a fallback to an error page,
// shows a waiting text on its background colour while no page is shown,
// passes the mouse wheel to the page, and puts a document UI handler on the
// page (no context menu; the page's window.external).
#pragma once

#include <windows.h>

#include <exdisp.h>
#include <mshtml.h>

#include "app/browser/AxHostWindow.h"
#include "app/browser/WebBrowserEventHandler.h"
#include "app/browser/WebBrowserEventSink.h"
#include "base/ComPtr.h"
#include "base/RefString.h"
#include "base/WindowImpl.h"

class CUiHtmlContainerWindow : public CWindowImpl, private CWebBrowserEventHandler {
public:
    static constexpr UINT kBrowserId = 6;
    static constexpr COLORREF kDefaultBackground = 0xFFFFFF;

    CUiHtmlContainerWindow() = default;
    ~CUiHtmlContainerWindow() override;

    // The container as a child window of the owner (the main window's view or
    // a web dialog's view).
    HWND Create(HWND parent, const RECT& rect, DWORD style, DWORD exStyle, UINT id) noexcept;

    // Creates the browser child and the control, connects the events,
    // navigates "about:blank" and installs the UI handler on the document.
    bool CreateBrowser();

    // Navigates "about:blank" and then the address, with the given VARIANTs
    // (none: empty); the error page is shown when the address fails.
    bool Navigate(const wchar_t* url, VARIANT* flags = nullptr, VARIANT* targetFrame = nullptr,
                  VARIANT* postData = nullptr, VARIANT* headers = nullptr);
    // As Navigate; a given error page replaces the one kept.
    bool NavigateWithErrorPage(const wchar_t* errorPage, const wchar_t* url, VARIANT* flags = nullptr,
                               VARIANT* targetFrame = nullptr, VARIANT* postData = nullptr,
                               VARIANT* headers = nullptr);
    // A local file (its query kept) when it exists; else the fallback
    // address, with the given error page.
    bool NavigateLocal(const wchar_t* path, const wchar_t* errorPage, const wchar_t* fallbackUrl);
    bool Refresh();

    // The control's current document, or none.
    virtual CComPtr<IDispatch> GetDocument();
    // The address of the current document (its URL); empty without one.
    CString DocumentAddress();

    void SetBackgroundColor(COLORREF color) noexcept { m_crBackground = color; }
    COLORREF BackgroundColor() const noexcept { return m_crBackground; }
    void SetErrorPage(const wchar_t* errorPage) { m_strErrorPage = errorPage ? errorPage : L""; }
    const CString& ErrorPage() const noexcept { return m_strErrorPage; }
    const CString& Url() const noexcept { return m_strUrl; }
    bool NavigationFailed() const noexcept { return m_bNavError != 0; }

    // What the control host's pages get as window.external (the owner's
    // script object), held as IDispatch.
    HRESULT SetExternalDispatch(IDispatch* external) noexcept;
    CAxHostWindow& HostWindow() noexcept { return m_browser; }
    HWND BrowserWindow() const noexcept { return m_browser.m_hWnd; }
    CComPtr<IWebBrowser2> Browser() const noexcept;
    // The event sink, as the control calls it.
    IDispatch* EventSink() const noexcept { return m_sink.Get(); }

protected:
    // A navigation is about to start; set *cancel to VARIANT_TRUE to stop it.
    // The default lets every navigation go.
    virtual void OnBeforeNavigate(const wchar_t* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                                  VARIANT* headers, VARIANT_BOOL* cancel);
    // Puts the UI handler on a new HTML document.
    virtual void InstallUIHandler(IHTMLDocument2* document);
    // Opens an address that a page wanted in a new window, outside the program.
    virtual void OpenOutside(const wchar_t* url);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Sets the UI handler through the document's ICustomDoc.
    static void SetDocumentUIHandler(IHTMLDocument2* document, IDocHostUIHandler* handler);

private:
    // CWebBrowserEventHandler
    void OnBeforeNavigate2(BSTR url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                           VARIANT* headers, VARIANT_BOOL* cancel) override;
    void OnNavigateComplete2(BSTR url) override;
    void OnNavigateError(BSTR url, VARIANT* targetFrame, VARIANT* statusCode, VARIANT_BOOL* cancel) override;
    void OnNewWindow3(BSTR url, VARIANT_BOOL* cancel) override;

    void PrepareNavigation(IWebBrowser2* browser) noexcept;
    bool BrowserShown() const noexcept;
    void PaintWaiting(HDC hdc) noexcept;
    void OnDestroy() noexcept;
    void OnMouseWheel(short delta) noexcept;

    CAxHostWindow m_browser;
    CString m_strUrl;
    int m_bNavError = 0;
    CComVariant m_vtEmpty;
    COLORREF m_crBackground = kDefaultBackground;
    CString m_strErrorPage;
    CComPtr<CWebBrowserEventSink> m_sink;
};
