// Registry access for the tests with the calls Windows XP has, so that the
// test programs pass the same import check as the shipped files.
#pragma once

#include <windows.h>

#include "base/Handle.h"
#include "base/RefString.h"

// Creates the key when needed and stores the value; ERROR_SUCCESS or the error.
inline LONG SetRegValue(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type, const void* data,
                        DWORD bytes)
{
    HKEY raw = nullptr;
    LONG status = RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    CRegKey opened(raw);
    return RegSetValueExW(opened, name, 0, type, static_cast<const BYTE*>(data), bytes);
}

// Reads a REG_SZ value; ERROR_SUCCESS or the error (ERROR_FILE_NOT_FOUND
// for an absent value or key).
inline LONG ReadRegString(HKEY root, const wchar_t* key, const wchar_t* name, CString& out)
{
    HKEY raw = nullptr;
    LONG status = RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &raw);
    if (status != ERROR_SUCCESS)
        return status;
    CRegKey opened(raw);
    wchar_t value[1024] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    status = RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    if (status == ERROR_SUCCESS && type != REG_SZ)
        return ERROR_INVALID_DATATYPE;
    if (status == ERROR_SUCCESS)
        out = value;
    return status;
}

// Deletes a key that has no subkeys.
inline void DeleteRegKey(HKEY root, const wchar_t* key)
{
    RegDeleteKeyW(root, key);
}
