#include "app/browser/ScriptArguments.h"

#include <dispex.h>
#include <oleauto.h>

#include <climits>
#include <cmath>
#include <cstring>

namespace {

bool IsValue(VARTYPE vt) noexcept
{
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_ERROR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
        return false;
    default:
        return (vt & (VT_ARRAY | VT_VECTOR)) == 0;
    }
}

} // namespace

UINT CScriptArguments::Count() const noexcept
{
    if (!m_params || m_params->cNamedArgs > m_params->cArgs || (m_params->cArgs && !m_params->rgvarg))
        return 0;
    return m_params->cArgs - m_params->cNamedArgs;
}

HRESULT CScriptArguments::Check(const char* types, UINT* argError) const noexcept
{
    if (m_params && m_params->cNamedArgs) {
        if (!m_params->rgdispidNamedArgs)
            return DISP_E_NONAMEDARGS;
        for (UINT i = 0; i < m_params->cNamedArgs; ++i) {
            if (m_params->rgdispidNamedArgs[i] != DISPID_THIS)
                return DISP_E_NONAMEDARGS;
        }
    }
    if (m_params && (m_params->cNamedArgs > m_params->cArgs || (m_params->cArgs && !m_params->rgvarg)))
        return DISP_E_BADPARAMCOUNT;
    const UINT wanted = static_cast<UINT>(strlen(types));
    if (Count() != wanted)
        return DISP_E_BADPARAMCOUNT;
    for (UINT k = 1; k <= wanted; ++k) {
        int number = 0;
        CString text;
        const bool ok = types[k - 1] == 'i' ? Int(k, number) : Text(k, text);
        if (!ok) {
            if (argError)
                *argError = m_params->cArgs - k;
            return DISP_E_TYPEMISMATCH;
        }
    }
    return S_OK;
}

bool CScriptArguments::Read(UINT k, VARIANT& value) const noexcept
{
    VariantInit(&value);
    if (k == 0 || k > Count())
        return false;
    // The positional arguments follow the named ones, last-first.
    VARIANT& source = m_params->rgvarg[m_params->cArgs - k];
    if (FAILED(VariantCopyInd(&value, &source)))
        return false;
    if (!IsValue(value.vt)) {
        VariantClear(&value);
        return false;
    }
    return true;
}

bool CScriptArguments::Int(UINT k, int& value) const noexcept
{
    VARIANT v;
    if (!Read(k, v))
        return false;
    const HRESULT hr = VariantChangeType(&v, &v, 0, VT_R8);
    if (FAILED(hr)) {
        VariantClear(&v);
        return false;
    }
    const double number = v.dblVal;
    if (!std::isfinite(number) || std::floor(number) != number || number < INT_MIN || number > INT_MAX)
        return false;
    value = static_cast<int>(number);
    return true;
}

bool CScriptArguments::Text(UINT k, CString& value) const
{
    VARIANT v;
    if (!Read(k, v))
        return false;
    if (FAILED(VariantChangeType(&v, &v, 0, VT_BSTR))) {
        VariantClear(&v);
        return false;
    }
    value = v.bstrVal ? CString(v.bstrVal, static_cast<int>(SysStringLen(v.bstrVal))) : CString();
    VariantClear(&v);
    return true;
}
