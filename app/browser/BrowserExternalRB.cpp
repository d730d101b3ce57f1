#include "app/browser/BrowserExternalRB.h"

#include "app/browser/ScriptArguments.h"
#include "app/browser/ScriptNames.h"
#include "app/browser/ScriptResult.h"

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
                                   EXCEPINFO*, UINT* argError)
{
    if (id != DISPID_CloseRbPopDlg)
        return S_OK;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
        return DISP_E_MEMBERNOTFOUND;
    // The caller's [out] VARIANT: emptied, never freed here.
    if (result)
        VariantInit(result);
    const CScriptArguments args(params);
    if (flags & DISPATCH_METHOD) {
        // Any page a pop-up shows may close it, with a whole number.
        const HRESULT shape = args.Check("i", argError);
        if (FAILED(shape))
            return shape;
    }
    if ((flags & DISPATCH_PROPERTYGET) && result)
        SetBoolResult(result, TRUE);
    int value = 0;
    if ((flags & DISPATCH_METHOD) && m_owner && args.Int(1, value))
        m_owner->ClosePopup(value);
    return S_OK;
}
