#include "app/browser/ImpDocHostUIHandle.h"

#include <cstddef>

#include "app/browser/BrowserExternalRB.h"

// The browser's structure as the shipped 32-bit program sees it.
static_assert(sizeof(void*) != 4 || sizeof(DOCHOSTUIINFO) == 20,
              "DOCHOSTUIINFO is 20 bytes on 32-bit Windows");

namespace {

// Whether a field lies within the size the caller gave its structure.
template <typename Field> bool Fits(const DOCHOSTUIINFO& info, size_t offset) noexcept
{
    return info.cbSize >= offset + sizeof(Field);
}

} // namespace

CImpDocHostUIHandle& CImpDocHostUIHandle::Shared()
{
    static CImpDocHostUIHandle handler;
    return handler;
}

HRESULT CImpDocHostUIHandle::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDocHostUIHandler)
        return E_NOINTERFACE;
    *out = static_cast<IDocHostUIHandler*>(this);
    AddRef();
    return S_OK;
}

ULONG CImpDocHostUIHandle::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

ULONG CImpDocHostUIHandle::Release()
{
    return static_cast<ULONG>(InterlockedDecrement(&m_refs));
}

HRESULT CImpDocHostUIHandle::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    return S_OK;
}

HRESULT CImpDocHostUIHandle::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return E_INVALIDARG;
    // Filled by the size the caller gave, so that a 64-bit browser's larger
    // structure is right too.
    if (Fits<DWORD>(*info, offsetof(DOCHOSTUIINFO, dwFlags)))
        info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    if (Fits<DWORD>(*info, offsetof(DOCHOSTUIINFO, dwDoubleClick)))
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    if (Fits<OLECHAR*>(*info, offsetof(DOCHOSTUIINFO, pchHostCss)))
        info->pchHostCss = nullptr;
    if (Fits<OLECHAR*>(*info, offsetof(DOCHOSTUIINFO, pchHostNS)))
        info->pchHostNS = nullptr;
    return S_OK;
}

HRESULT CImpDocHostUIHandle::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                    IOleInPlaceUIWindow*)
{
    return S_OK;
}

HRESULT CImpDocHostUIHandle::HideUI()
{
    return S_OK;
}

HRESULT CImpDocHostUIHandle::UpdateUI()
{
    return S_OK;
}

HRESULT CImpDocHostUIHandle::EnableModeless(BOOL)
{
    return S_OK;
}

HRESULT CImpDocHostUIHandle::OnDocWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT CImpDocHostUIHandle::OnFrameWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT CImpDocHostUIHandle::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return S_OK;
}

HRESULT CImpDocHostUIHandle::TranslateAccelerator(LPMSG, const GUID*, DWORD)
{
    return S_OK;
}

HRESULT CImpDocHostUIHandle::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key)
        *key = nullptr;
    return S_OK;
}

HRESULT CImpDocHostUIHandle::GetDropTarget(IDropTarget*, IDropTarget** result)
{
    if (result)
        *result = nullptr;
    return S_OK;
}

HRESULT CImpDocHostUIHandle::GetExternal(IDispatch** external)
{
    if (!external)
        return E_POINTER;
    *external = PageExternal();
    (*external)->AddRef();
    return S_OK;
}

HRESULT CImpDocHostUIHandle::TranslateUrl(DWORD, LPWSTR, LPWSTR* result)
{
    if (result)
        *result = nullptr;
    return S_OK;
}

HRESULT CImpDocHostUIHandle::FilterDataObject(IDataObject*, IDataObject** result)
{
    if (result)
        *result = nullptr;
    return S_OK;
}

IDispatch* CImpDocHostUIHandle::PageExternal()
{
    return &CBrowserExternalRB::Instance();
}
