#include "app/browser/WebBrowserEventSink.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>

namespace {

// The VARIANT an argument stands for, through VT_BYREF|VT_VARIANT.
VARIANT* Deref(VARIANT& arg) noexcept
{
    VARIANT* v = &arg;
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal)
        v = v->pvarVal;
    return v;
}

// The text of an argument given as a BSTR, directly or by reference.
BSTR TextOf(VARIANT& arg) noexcept
{
    VARIANT* v = Deref(arg);
    if (v->vt == VT_BSTR)
        return v->bstrVal;
    if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal)
        return *v->pbstrVal;
    return nullptr;
}

VARIANT_BOOL* CancelFlagOf(VARIANT& arg) noexcept
{
    VARIANT* v = Deref(arg);
    return v->vt == (VT_BYREF | VT_BOOL) ? v->pboolVal : nullptr;
}

} // namespace

CComPtr<CWebBrowserEventSink> CWebBrowserEventSink::Create(CWebBrowserEventHandler* handler)
{
    return CComPtr<CWebBrowserEventSink>(new CWebBrowserEventSink(handler));
}

HRESULT CWebBrowserEventSink::Connect(IUnknown* control) noexcept
{
    if (!control)
        return E_POINTER;
    Unadvise();
    CComPtr<IConnectionPointContainer> container;
    HRESULT hr = control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr))
        return hr;
    CComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point);
    if (FAILED(hr))
        return hr;
    hr = point->Advise(static_cast<IDispatch*>(this), &m_cookie);
    if (FAILED(hr))
        return hr;
    m_point = point;
    return S_OK;
}

void CWebBrowserEventSink::Disconnect() noexcept
{
    Unadvise();
    m_handler = nullptr;
}

void CWebBrowserEventSink::Unadvise() noexcept
{
    if (m_point) {
        m_point->Unadvise(m_cookie);
        m_point.Release();
        m_cookie = 0;
    }
}

HRESULT CWebBrowserEventSink::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID_DWebBrowserEvents2)
        return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG CWebBrowserEventSink::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

ULONG CWebBrowserEventSink::Release()
{
    LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

HRESULT CWebBrowserEventSink::GetTypeInfoCount(UINT* count)
{
    if (count)
        *count = 0;
    return E_NOTIMPL;
}

HRESULT CWebBrowserEventSink::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT CWebBrowserEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT CWebBrowserEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*)
{
    if (!m_handler || !params || !params->rgvarg)
        return S_OK;
    // The control passes the arguments last-first.
    VARIANT* args = params->rgvarg;
    const UINT count = params->cArgs;
    VARIANT_BOOL ignored = VARIANT_FALSE;
    switch (id) {
    case DISPID_BEFORENAVIGATE2: // browser, URL, flags, target frame, post data, headers, cancel
        if (count == 7) {
            VARIANT_BOOL* cancel = CancelFlagOf(args[0]);
            m_handler->OnBeforeNavigate2(TextOf(args[5]), Deref(args[4]), Deref(args[3]), Deref(args[2]),
                                         Deref(args[1]), cancel ? cancel : &ignored);
        }
        break;
    case DISPID_NAVIGATECOMPLETE2: // browser, URL
        if (count == 2)
            m_handler->OnNavigateComplete2(TextOf(args[0]));
        break;
    case DISPID_NAVIGATEERROR: // browser, URL, target frame, status code, cancel
        if (count == 5) {
            VARIANT_BOOL* cancel = CancelFlagOf(args[0]);
            m_handler->OnNavigateError(TextOf(args[3]), Deref(args[2]), Deref(args[1]),
                                       cancel ? cancel : &ignored);
        }
        break;
    case DISPID_NEWWINDOW3: // new browser, cancel, flags, context URL, URL
        if (count == 5) {
            VARIANT_BOOL* cancel = CancelFlagOf(args[3]);
            m_handler->OnNewWindow3(TextOf(args[0]), cancel ? cancel : &ignored);
        }
        break;
    default:
        break;
    }
    return S_OK;
}
