// The name table of a script object and its GetIDsOfNames.
#pragma once

#include <windows.h>

#include <oaidl.h>

struct ScriptName {
    const wchar_t* name;
    DISPID id;
};

// Looks every name up in the table, exactly and case-sensitively. A null name
// reads as empty text, a value below 0x10000 as a string resource of the
// program. Unknown names get DISPID_UNKNOWN; the result is S_OK when all were
// found, else DISP_E_UNKNOWNNAME.
template <size_t N>
HRESULT LookUpScriptNames(const ScriptName (&table)[N], LPOLESTR* names, UINT count, DISPID* ids) noexcept;

HRESULT LookUpScriptNames(const ScriptName* table, size_t tableSize, LPOLESTR* names, UINT count,
                          DISPID* ids) noexcept;

template <size_t N>
HRESULT LookUpScriptNames(const ScriptName (&table)[N], LPOLESTR* names, UINT count, DISPID* ids) noexcept
{
    return LookUpScriptNames(table, N, names, count, ids);
}
