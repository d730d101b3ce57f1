#include "app/browser/ScriptNames.h"

#include "base/AppModule.h"
#include "base/RefString.h"

namespace {

CString NameText(LPCOLESTR name)
{
    if (!name)
        return CString();
    if (IS_INTRESOURCE(name)) {
        const wchar_t* text = nullptr;
        int length =
            LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)),
                        reinterpret_cast<LPWSTR>(&text), 0);
        return length > 0 ? CString(text, length) : CString();
    }
    return CString(name);
}

} // namespace

HRESULT LookUpScriptNames(const ScriptName* table, size_t tableSize, LPOLESTR* names, UINT count,
                          DISPID* ids) noexcept
{
    if (count == 0)
        return S_OK;
    if (!names || !ids)
        return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        CString name = NameText(names[i]);
        ids[i] = DISPID_UNKNOWN;
        for (size_t k = 0; k < tableSize; ++k) {
            if (name == table[k].name) {
                ids[i] = table[k].id;
                break;
            }
        }
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}
