#include "app/browser/AxHostWindow.h"

#include "base/WindowClass.h"

namespace {

const CWindowClass& HostWindowClass()
{
    static CWindowClass cls(0, LoadCursorW(nullptr, IDC_ARROW));
    return cls;
}

} // namespace

CAxHostWindow::~CAxHostWindow()
{
    DestroyControl();
}

HWND CAxHostWindow::Create(HWND parent, const RECT& rect, DWORD style, UINT id) noexcept
{
    return CWindowImpl::Create(HostWindowClass(), parent, rect, nullptr, style, 0, id);
}

HRESULT CAxHostWindow::CreateControl(const wchar_t* progId) noexcept
{
    if (!m_hWnd)
        return E_UNEXPECTED;
    if (m_control)
        return E_UNEXPECTED;
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr))
        return hr;
    CComPtr<IOleObject> ole;
    hr = ole.CoCreateInstance(clsid);
    if (FAILED(hr))
        return hr;

    m_site = CAxControlSite::Create(m_hWnd);
    m_site->SetControl(ole);
    m_site->SetExternalDispatch(m_external);
    IOleClientSite* site = static_cast<IOleClientSite*>(m_site.Get());

    DWORD misc = 0;
    ole->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst)
        ole->SetClientSite(site);
    CComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(ole.QueryInterface(&persist)))
        persist->InitNew();
    if (!siteFirst)
        ole->SetClientSite(site);
    m_control = ole;

    RECT rect;
    GetClientRect(m_hWnd, &rect);
    hr = ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, m_hWnd, &rect);
    if (FAILED(hr)) {
        DestroyControl();
        return hr;
    }
    m_site->SetObjectRects();
    return S_OK;
}

HRESULT CAxHostWindow::QueryControl(REFIID iid, void** out) const noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!m_control)
        return E_NOINTERFACE;
    return m_control->QueryInterface(iid, out);
}

HRESULT CAxHostWindow::SetExternalDispatch(IDispatch* external) noexcept
{
    m_external = external;
    if (m_site)
        m_site->SetExternalDispatch(external);
    return S_OK;
}

IDispatch* CAxHostWindow::ExternalDispatch() const noexcept
{
    return m_external;
}

void CAxHostWindow::DestroyControl() noexcept
{
    CComPtr<IUnknown> control = std::move(m_control);
    CComPtr<CAxControlSite> site = std::move(m_site);
    if (control) {
        CComPtr<IOleObject> ole;
        if (SUCCEEDED(control.QueryInterface(&ole))) {
            ole->Close(OLECLOSE_NOSAVE);
            ole->SetClientSite(nullptr);
        }
    }
    if (site)
        site->Detach();
}

BOOL CAxHostWindow::ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM, LRESULT& result)
{
    switch (msg) {
    case WM_SIZE:
        if (m_site)
            m_site->SetObjectRects();
        result = 0;
        return TRUE;
    case WM_SETFOCUS: {
        // Focus goes on to the control's own window.
        HWND controlWindow = nullptr;
        if (m_site && m_site->InPlaceObject() &&
            SUCCEEDED(m_site->InPlaceObject()->GetWindow(&controlWindow)) && controlWindow)
            SetFocus(controlWindow);
        result = 0;
        return TRUE;
    }
    case WM_ERASEBKGND:
        // The control paints all of the window.
        result = m_control ? 1 : 0;
        return m_control ? TRUE : FALSE;
    case WM_DESTROY:
        DestroyControl();
        return FALSE;
    default:
        return FALSE;
    }
}
