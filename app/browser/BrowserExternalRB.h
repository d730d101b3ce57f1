// window.external of the web pop-ups and every other hosted page: one method
// that closes the pop-up. One object lives for the whole run; its reference
// count only counts.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "app/browser/ScriptPopupOwner.h"

class CBrowserExternalRB : public IDispatch {
public:
    enum : DISPID { DISPID_CloseRbPopDlg = 10 };

    CBrowserExternalRB() = default;
    CBrowserExternalRB(const CBrowserExternalRB&) = delete;
    CBrowserExternalRB& operator=(const CBrowserExternalRB&) = delete;
    virtual ~CBrowserExternalRB() = default;

    static CBrowserExternalRB& Instance();

    // The pop-up that initialised last; a later one replaces it.
    void SetOwner(CScriptPopupOwner* owner) noexcept { m_owner = owner; }
    // A pop-up going away lets go of the object, unless another took it since.
    void ClearOwner(CScriptPopupOwner* owner) noexcept
    {
        if (m_owner == owner)
            m_owner = nullptr;
    }
    CScriptPopupOwner* Owner() const noexcept { return m_owner; }

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
    LONG m_refs = 0;
    CScriptPopupOwner* m_owner = nullptr;
};
