#include "app/browser/ScriptArguments.h"

#include <oleauto.h>

bool CScriptArguments::Read(UINT k, VARTYPE type, VARIANT& value) const noexcept
{
    VariantInit(&value);
    if (!m_params || !m_params->rgvarg || k == 0 || k > m_params->cArgs)
        return false;
    // The positional array holds the arguments last-first.
    VARIANT& source = m_params->rgvarg[m_params->cArgs - k];
    if (FAILED(VariantCopyInd(&value, &source)))
        return false;
    if (value.vt == VT_EMPTY || value.vt == VT_NULL || value.vt == VT_ERROR ||
        FAILED(VariantChangeType(&value, &value, 0, type))) {
        VariantClear(&value);
        return false;
    }
    return true;
}

bool CScriptArguments::Int(UINT k, int& value) const noexcept
{
    VARIANT v;
    if (!Read(k, VT_I4, v))
        return false;
    value = v.lVal;
    return true;
}

bool CScriptArguments::Text(UINT k, CString& value) const
{
    VARIANT v;
    if (!Read(k, VT_BSTR, v))
        return false;
    value = v.bstrVal ? CString(v.bstrVal, static_cast<int>(SysStringLen(v.bstrVal))) : CString();
    VariantClear(&v);
    return true;
}
