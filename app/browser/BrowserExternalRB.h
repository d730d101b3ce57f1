// window.external of the web pop-ups and every other hosted page: one method
// that closes the pop-up. Each web dialog has an object of its own, owned by
// it; the main window's pages share Instance(), which never has an owner and
// so closes nothing. Reference counts only count.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "app/browser/ProgramDispatch.h"
#include "app/browser/ScriptPopupOwner.h"

class CBrowserExternalRB : public CProgramDispatch<> {
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

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

private:
    CScriptPopupOwner* m_owner = nullptr;
};
