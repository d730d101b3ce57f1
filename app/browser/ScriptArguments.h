// The arguments of a page's call, read safely: by count, through their
// references, converted to the type the method wants. A missing argument,
// undefined or null, or one that does not convert, reads as absent, and the
// caller then runs no handler.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "base/RefString.h"

class CScriptArguments {
public:
    explicit CScriptArguments(const DISPPARAMS* params) noexcept : m_params(params) {}

    // Script argument k, counting from 1 in the order the page wrote them.
    bool Int(UINT k, int& value) const noexcept;
    bool Text(UINT k, CString& value) const;

private:
    bool Read(UINT k, VARTYPE type, VARIANT& value) const noexcept;

    const DISPPARAMS* m_params;
};
