#include "app/browser/AxControlSite.h"

#include <idispids.h>
#include <olectl.h>

CComPtr<CAxControlSite> CAxControlSite::Create(HWND host)
{
    return CComPtr<CAxControlSite>(new CAxControlSite(host));
}

void CAxControlSite::SetObjectRects() noexcept
{
    if (!m_inPlace || !m_host)
        return;
    RECT rect;
    GetClientRect(m_host, &rect);
    m_inPlace->SetObjectRects(&rect, &rect);
}

void CAxControlSite::Detach() noexcept
{
    m_host = nullptr;
    m_inPlace.Release();
    m_control.Release();
    m_external.Release();
}

HRESULT CAxControlSite::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *out = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IDocHostUIHandler)
        *out = static_cast<IDocHostUIHandler*>(this);
    else if (iid == IID_IDispatch)
        *out = static_cast<IDispatch*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG CAxControlSite::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

ULONG CAxControlSite::Release()
{
    LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

// IOleClientSite

HRESULT CAxControlSite::SaveObject()
{
    return E_NOTIMPL;
}

HRESULT CAxControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT CAxControlSite::GetContainer(IOleContainer** container)
{
    if (container)
        *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT CAxControlSite::ShowObject()
{
    return S_OK;
}

HRESULT CAxControlSite::OnShowWindow(BOOL)
{
    return S_OK;
}

HRESULT CAxControlSite::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}

// IOleWindow

HRESULT CAxControlSite::GetWindow(HWND* hwnd)
{
    if (!hwnd)
        return E_POINTER;
    *hwnd = m_host;
    return m_host ? S_OK : E_FAIL;
}

HRESULT CAxControlSite::ContextSensitiveHelp(BOOL)
{
    return S_OK;
}

// IOleInPlaceSite

HRESULT CAxControlSite::CanInPlaceActivate()
{
    return m_host ? S_OK : S_FALSE;
}

HRESULT CAxControlSite::OnInPlaceActivate()
{
    if (!m_control)
        return E_UNEXPECTED;
    return m_control.QueryInterface(&m_inPlace);
}

HRESULT CAxControlSite::OnUIActivate()
{
    return S_OK;
}

HRESULT CAxControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT position,
                                         LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (!frame || !doc || !position || !clip)
        return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *doc = nullptr;
    RECT rect{};
    if (m_host)
        GetClientRect(m_host, &rect);
    *position = rect;
    *clip = rect;
    if (frameInfo) {
        // The caller sets cb; the rest is filled by its own size.
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = m_host ? GetAncestor(m_host, GA_ROOT) : nullptr;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT CAxControlSite::Scroll(SIZE)
{
    return E_NOTIMPL;
}

HRESULT CAxControlSite::OnUIDeactivate(BOOL)
{
    return S_OK;
}

HRESULT CAxControlSite::OnInPlaceDeactivate()
{
    m_inPlace.Release();
    return S_OK;
}

HRESULT CAxControlSite::DiscardUndoState()
{
    return E_NOTIMPL;
}

HRESULT CAxControlSite::DeactivateAndUndo()
{
    return E_NOTIMPL;
}

HRESULT CAxControlSite::OnPosRectChange(LPCRECT position)
{
    if (m_inPlace && position)
        m_inPlace->SetObjectRects(position, position);
    return S_OK;
}

// IOleInPlaceUIWindow / IOleInPlaceFrame: no tool space, menus or status bar.

HRESULT CAxControlSite::GetBorder(LPRECT)
{
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT CAxControlSite::RequestBorderSpace(LPCBORDERWIDTHS)
{
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT CAxControlSite::SetBorderSpace(LPCBORDERWIDTHS)
{
    return S_OK;
}

HRESULT CAxControlSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR)
{
    return S_OK;
}

HRESULT CAxControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS)
{
    return S_OK;
}

HRESULT CAxControlSite::SetMenu(HMENU, HOLEMENU, HWND)
{
    return S_OK;
}

HRESULT CAxControlSite::RemoveMenus(HMENU)
{
    return S_OK;
}

HRESULT CAxControlSite::SetStatusText(LPCOLESTR)
{
    return S_OK;
}

HRESULT CAxControlSite::EnableModeless(BOOL)
{
    return S_OK;
}

HRESULT CAxControlSite::TranslateAccelerator(LPMSG, WORD)
{
    return S_FALSE;
}

// IDocHostUIHandler: S_FALSE and E_NOTIMPL let the browser do as it does by
// default; a UI handler that the container installs on the document comes
// before this one.

HRESULT CAxControlSite::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    return S_FALSE;
}

HRESULT CAxControlSite::GetHostInfo(DOCHOSTUIINFO*)
{
    return E_NOTIMPL;
}

HRESULT CAxControlSite::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                               IOleInPlaceUIWindow*)
{
    return S_FALSE;
}

HRESULT CAxControlSite::HideUI()
{
    return S_OK;
}

HRESULT CAxControlSite::UpdateUI()
{
    return S_OK;
}

HRESULT CAxControlSite::OnDocWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT CAxControlSite::OnFrameWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT CAxControlSite::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return S_OK;
}

HRESULT CAxControlSite::TranslateAccelerator(LPMSG, const GUID*, DWORD)
{
    return S_FALSE;
}

HRESULT CAxControlSite::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key)
        *key = nullptr;
    return E_NOTIMPL;
}

HRESULT CAxControlSite::GetDropTarget(IDropTarget*, IDropTarget** result)
{
    if (result)
        *result = nullptr;
    return E_NOTIMPL;
}

HRESULT CAxControlSite::GetExternal(IDispatch** external)
{
    if (!external)
        return E_POINTER;
    *external = m_external;
    if (!m_external)
        return S_FALSE;
    m_external->AddRef();
    return S_OK;
}

HRESULT CAxControlSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* result)
{
    if (result)
        *result = nullptr;
    return S_FALSE;
}

HRESULT CAxControlSite::FilterDataObject(IDataObject*, IDataObject** result)
{
    if (result)
        *result = nullptr;
    return S_FALSE;
}

// IDispatch: ambient properties.

HRESULT CAxControlSite::GetTypeInfoCount(UINT* count)
{
    if (count)
        *count = 0;
    return E_NOTIMPL;
}

HRESULT CAxControlSite::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT CAxControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT CAxControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                               UINT*)
{
    if (!(flags & DISPATCH_PROPERTYGET) || !result)
        return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
    case DISPID_AMBIENT_AUTOCLIP:
    case DISPID_AMBIENT_SILENT:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
    case DISPID_AMBIENT_OFFLINEIFNOTCONNECTED:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_FALSE;
        return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(GetUserDefaultLCID());
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
