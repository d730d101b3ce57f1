// The UI handler put on the documents of the left menu and of the web
// pop-ups: no context menu, no 3D border, no scroll bars, and the pop-ups'
// script object as window.external. One object serves every document and
// lives as long as the program; its reference count only counts.
#pragma once

#include <windows.h>

#include <mshtmhst.h>

class CImpDocHostUIHandle : public IDocHostUIHandler {
public:
    CImpDocHostUIHandle() = default;
    CImpDocHostUIHandle(const CImpDocHostUIHandle&) = delete;
    CImpDocHostUIHandle& operator=(const CImpDocHostUIHandle&) = delete;
    virtual ~CImpDocHostUIHandle() = default;

    static CImpDocHostUIHandle& Shared();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* pt, IUnknown* target,
                                              IDispatch* object) override;
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                                     IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) override;
    HRESULT STDMETHODCALLTYPE HideUI() override;
    HRESULT STDMETHODCALLTYPE UpdateUI() override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                           BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg, const GUID* group, DWORD id) override;
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* dropTarget, IDropTarget** result) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override;
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* result) override;
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* object, IDataObject** result) override;

protected:
    // The script object this handler gives the page.
    virtual IDispatch* PageExternal();

private:
    LONG m_refs = 0;
};
