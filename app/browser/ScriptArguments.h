// The arguments of a page's call, read safely: positional ones by count,
// through their references, converted to the type the method wants. Check
// answers a call whose shape does not fit the method as IDispatch::Invoke
// does; a handler runs only for a call that passed it.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "base/RefString.h"

class CScriptArguments {
public:
    explicit CScriptArguments(const DISPPARAMS* params) noexcept : m_params(params) {}

    // The method's arguments, one letter each in script order: 'i' a whole
    // number, 's' a text. Named arguments are refused (DISP_E_NONAMEDARGS),
    // but the script engine's own `this` (DISPID_THIS), which no method
    // reads; another number of positional arguments gives
    // DISP_E_BADPARAMCOUNT; an argument that does not read as its type
    // DISP_E_TYPEMISMATCH, with its index in the argument array in *argError.
    HRESULT Check(const char* types, UINT* argError) const noexcept;

    // Script argument k, counting from 1 in the order the page wrote them. A
    // missing argument, undefined or null, an object, or one that does not
    // convert reads as absent. A number is whole only when it has no
    // fraction and fits an int (NaN and 2^31 do not).
    bool Int(UINT k, int& value) const noexcept;
    bool Text(UINT k, CString& value) const;

    // The number of positional arguments (0 for a malformed block).
    UINT Count() const noexcept;

private:
    bool Read(UINT k, VARIANT& value) const noexcept;

    const DISPPARAMS* m_params;
};
