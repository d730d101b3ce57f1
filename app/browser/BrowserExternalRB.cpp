#include "app/browser/BrowserExternalRB.h"

#include "app/browser/ScriptArguments.h"
#include "app/browser/ScriptNames.h"

namespace {

const ScriptName kNames[] = {
    {L"Ex_CloseRbPopDlg", CBrowserExternalRB::DISPID_CloseRbPopDlg},
};

} // namespace

CBrowserExternalRB& CBrowserExternalRB::Instance()
{
    static CBrowserExternalRB external;
    return external;
}

HRESULT CBrowserExternalRB::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    return LookUpScriptNames(kNames, names, count, ids);
}

HRESULT CBrowserExternalRB::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*)
{
    if (id != DISPID_CloseRbPopDlg)
        return S_OK;
    if ((flags & DISPATCH_PROPERTYGET) && result) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = 1;
    }
    int value = 0;
    if ((flags & DISPATCH_METHOD) && m_owner && CScriptArguments(params).Int(1, value))
        m_owner->ClosePopup(value);
    return S_OK;
}
