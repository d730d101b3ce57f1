#include "app/browser/UiHtmlContainerWindow.h"

#include <mshtmhst.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "app/browser/ImpDocHostUIHandle.h"
#include "app/browser/PageWheel.h"
#include "base/Handle.h"
#include "base/WindowClass.h"
#include "skin/SkFontPool.h"

namespace {

const wchar_t kWaitingText[] = L"正在读取信息...";

const CWindowClass& ContainerWindowClass()
{
    static CWindowClass cls(CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW));
    return cls;
}

// Only web addresses leave the program; anything else a page asks to open
// in a new window (local files, programs, script) is dropped.
bool IsWebAddress(const wchar_t* url) noexcept
{
    return url && (StrCmpNIW(url, L"http://", 7) == 0 || StrCmpNIW(url, L"https://", 8) == 0);
}

} // namespace

CUiHtmlContainerWindow::~CUiHtmlContainerWindow()
{
    if (m_sink)
        m_sink->Disconnect();
}

HWND CUiHtmlContainerWindow::Create(HWND parent, const RECT& rect, DWORD style, DWORD exStyle,
                                    UINT id) noexcept
{
    return CWindowImpl::Create(ContainerWindowClass(), parent, rect, nullptr, style, exStyle, id);
}

bool CUiHtmlContainerWindow::CreateBrowser()
{
    if (!m_hWnd || m_browser.m_hWnd)
        return false;
    RECT client;
    GetClientRect(m_hWnd, &client);
    // Hidden until a page has been shown without error.
    if (!m_browser.Create(m_hWnd, client, WS_CHILD | WS_CLIPCHILDREN, kBrowserId))
        return false;
    if (FAILED(m_browser.CreateControl(L"Shell.Explorer")))
        return false;
    SetWindowLongPtrW(m_browser.m_hWnd, GWLP_ID, kBrowserId);

    CComPtr<IUnknown> control;
    m_browser.QueryControl(&control);
    m_sink = CWebBrowserEventSink::Create(this);
    m_sink->Connect(control);

    CComPtr<IWebBrowser2> browser = Browser();
    if (!browser)
        return false;
    PrepareNavigation(browser);
    browser->Navigate(CComBSTR(L"about:blank"), &m_vtEmpty, &m_vtEmpty, &m_vtEmpty, &m_vtEmpty);

    CComPtr<IDispatch> document = GetDocument();
    CComPtr<IHTMLDocument2> html;
    if (document && SUCCEEDED(document.QueryInterface(&html)))
        InstallUIHandler(html);
    return true;
}

CComPtr<IWebBrowser2> CUiHtmlContainerWindow::Browser() const noexcept
{
    CComPtr<IWebBrowser2> browser;
    m_browser.QueryControl(&browser);
    return browser;
}

void CUiHtmlContainerWindow::PrepareNavigation(IWebBrowser2* browser) noexcept
{
    browser->put_RegisterAsDropTarget(VARIANT_FALSE);
    browser->put_Silent(VARIANT_TRUE);
}

bool CUiHtmlContainerWindow::Navigate(const wchar_t* url, VARIANT* flags, VARIANT* targetFrame,
                                      VARIANT* postData, VARIANT* headers)
{
    m_bNavError = 0;
    m_strUrl = url ? url : L"";
    CComPtr<IWebBrowser2> browser = Browser();
    if (!browser)
        return false;
    PrepareNavigation(browser);
    browser->Navigate(CComBSTR(L"about:blank"), &m_vtEmpty, &m_vtEmpty, &m_vtEmpty, &m_vtEmpty);
    // The control may change the VARIANTs it is given; it gets copies.
    CComVariant vFlags = flags ? CComVariant(*flags) : CComVariant();
    CComVariant vTarget = targetFrame ? CComVariant(*targetFrame) : CComVariant();
    CComVariant vPost = postData ? CComVariant(*postData) : CComVariant();
    CComVariant vHeaders = headers ? CComVariant(*headers) : CComVariant();
    return SUCCEEDED(browser->Navigate(CComBSTR(m_strUrl), &vFlags, &vTarget, &vPost, &vHeaders));
}

bool CUiHtmlContainerWindow::NavigateWithErrorPage(const wchar_t* errorPage, const wchar_t* url,
                                                   VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                                                   VARIANT* headers)
{
    if (errorPage && *errorPage)
        m_strErrorPage = errorPage;
    return Navigate(url, flags, targetFrame, postData, headers);
}

bool CUiHtmlContainerWindow::NavigateLocal(const wchar_t* path, const wchar_t* errorPage,
                                           const wchar_t* fallbackUrl)
{
    CString local = path ? path : L"";
    int query = local.Find(L'?');
    CString file = query > 0 ? local.Left(query) : local;
    if (!file.IsEmpty() && PathFileExistsW(file))
        return Navigate(CString(L"file:///") + local);
    if (errorPage && *errorPage)
        m_strErrorPage = errorPage;
    return Navigate(fallbackUrl);
}

bool CUiHtmlContainerWindow::Refresh()
{
    CComPtr<IWebBrowser2> browser = Browser();
    if (!browser)
        return false;
    PrepareNavigation(browser);
    return SUCCEEDED(browser->Refresh());
}

CComPtr<IDispatch> CUiHtmlContainerWindow::GetDocument()
{
    CComPtr<IDispatch> document;
    if (CComPtr<IWebBrowser2> browser = Browser())
        browser->get_Document(&document);
    return document;
}

CString CUiHtmlContainerWindow::DocumentAddress()
{
    CComPtr<IDispatch> document = GetDocument();
    CComPtr<IHTMLDocument2> html;
    if (!document || FAILED(document.QueryInterface(&html)) || !html)
        return CString();
    CComBSTR url;
    if (FAILED(html->get_URL(&url)) || !static_cast<BSTR>(url))
        return CString();
    return CString(url, static_cast<int>(url.Length()));
}

HRESULT CUiHtmlContainerWindow::SetExternalDispatch(IDispatch* external) noexcept
{
    return m_browser.SetExternalDispatch(external);
}

void CUiHtmlContainerWindow::OnBeforeNavigate(const wchar_t*, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                              VARIANT_BOOL*)
{
}

void CUiHtmlContainerWindow::InstallUIHandler(IHTMLDocument2* document)
{
    SetDocumentUIHandler(document, &CImpDocHostUIHandle::Shared());
}

void CUiHtmlContainerWindow::SetDocumentUIHandler(IHTMLDocument2* document, IDocHostUIHandler* handler)
{
    CComPtr<ICustomDoc> custom;
    if (document &&
        SUCCEEDED(document->QueryInterface(__uuidof(ICustomDoc), reinterpret_cast<void**>(&custom))))
        custom->SetUIHandler(handler);
}

void CUiHtmlContainerWindow::OpenOutside(const wchar_t* url)
{
    ShellExecuteW(nullptr, L"open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

// Events

void CUiHtmlContainerWindow::OnBeforeNavigate2(BSTR url, VARIANT* flags, VARIANT* targetFrame,
                                               VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel)
{
    OnBeforeNavigate(url ? url : L"", flags, targetFrame, postData, headers, cancel);
}

void CUiHtmlContainerWindow::OnNavigateComplete2(BSTR)
{
    if (!m_browser.m_hWnd)
        return;
    ShowWindow(m_browser.m_hWnd, m_bNavError ? SW_HIDE : SW_SHOW);
    if (m_bNavError)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CUiHtmlContainerWindow::OnNavigateError(BSTR url, VARIANT*, VARIANT*, VARIANT_BOOL*)
{
    CComBSTR current(m_strUrl);
    CComBSTR errorPage(m_strErrorPage);
    const bool currentFailed = url && VarBstrCmp(url, current, LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
    // A failing error page is not loaded again and again.
    const bool errorPageFailed = url && VarBstrCmp(url, errorPage, LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
    CComPtr<IWebBrowser2> browser = Browser();
    if (currentFailed && !errorPageFailed && !m_strErrorPage.IsEmpty() && browser) {
        PrepareNavigation(browser);
        browser->Navigate(errorPage, &m_vtEmpty, &m_vtEmpty, &m_vtEmpty, &m_vtEmpty);
        return;
    }
    m_bNavError = 1;
}

void CUiHtmlContainerWindow::OnNewWindow3(BSTR url, VARIANT_BOOL* cancel)
{
    if (IsWebAddress(url))
        OpenOutside(url);
    *cancel = VARIANT_TRUE;
}

// Window messages

bool CUiHtmlContainerWindow::BrowserShown() const noexcept
{
    return m_browser.m_hWnd && IsWindowVisible(m_browser.m_hWnd);
}

void CUiHtmlContainerWindow::PaintWaiting(HDC hdc) noexcept
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    CBrushHandle brush(CreateSolidBrush(m_crBackground));
    FillRect(hdc, &client, brush);
    HFONT font = SkFontPool::Instance().FontForStyle(0);
    CSelectObject selectFont(hdc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    DrawTextW(hdc, kWaitingText, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetBkMode(hdc, oldMode);
}

void CUiHtmlContainerWindow::OnDestroy() noexcept
{
    if (m_sink)
        m_sink->Disconnect();
    if (m_browser.m_hWnd && IsWindow(m_browser.m_hWnd))
        m_browser.DestroyWindow();
}

void CUiHtmlContainerWindow::OnMouseWheel(short delta) noexcept
{
    CComPtr<IUnknown> control;
    m_browser.QueryControl(&control);
    ScrollPageByWheel(control, delta);
}

BOOL CUiHtmlContainerWindow::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    switch (msg) {
    case WM_DESTROY:
        OnDestroy();
        result = 0;
        return TRUE;
    case WM_ERASEBKGND:
        if (BrowserShown())
            return FALSE;
        PaintWaiting(reinterpret_cast<HDC>(wParam));
        result = 1;
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(m_hWnd, &ps);
        if (!BrowserShown())
            PaintWaiting(hdc);
        EndPaint(m_hWnd, &ps);
        result = 0;
        return TRUE;
    }
    case WM_SIZE:
        if (m_browser.m_hWnd) {
            RECT client;
            GetClientRect(m_hWnd, &client);
            MoveWindow(m_browser.m_hWnd, 0, 0, client.right, client.bottom, TRUE);
        }
        result = 0;
        return TRUE;
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}
