// The sink of the WebBrowser control's DWebBrowserEvents2: BeforeNavigate2
// (250), NavigateComplete2 (252), NavigateError (271) and NewWindow3 (273),
// unpacked from the control's reversed argument array and handed to the
// handler. Calls whose arguments are not what the event carries are ignored.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

#include "app/browser/WebBrowserEventHandler.h"
#include "base/ComPtr.h"

class CWebBrowserEventSink : public IDispatch {
public:
    // A new sink for the handler, with one reference for the caller.
    static CComPtr<CWebBrowserEventSink> Create(CWebBrowserEventHandler* handler);

    CWebBrowserEventSink(const CWebBrowserEventSink&) = delete;
    CWebBrowserEventSink& operator=(const CWebBrowserEventSink&) = delete;

    // Advises the control's DWebBrowserEvents2 connection point.
    HRESULT Connect(IUnknown* control) noexcept;
    // Unadvises, and no event reaches the handler any more.
    void Disconnect() noexcept;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

private:
    explicit CWebBrowserEventSink(CWebBrowserEventHandler* handler) noexcept : m_handler(handler) {}
    virtual ~CWebBrowserEventSink() = default;
    void Unadvise() noexcept;

    LONG m_refs = 0;
    CWebBrowserEventHandler* m_handler;
    CComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};
