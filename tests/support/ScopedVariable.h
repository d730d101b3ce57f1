// Sets an environment variable of this process (and so of the programs it
// starts) for a while; it is removed again when the holder goes.
#pragma once

#include <windows.h>

#include "base/RefString.h"

class CScopedVariable {
public:
    CScopedVariable(const wchar_t* name, const CString& value) : m_name(name)
    {
        SetEnvironmentVariableW(name, value);
    }
    // A number, in decimal.
    CScopedVariable(const wchar_t* name, size_t number) : CScopedVariable(name, Decimal(number)) {}
    CScopedVariable(const CScopedVariable&) = delete;
    CScopedVariable& operator=(const CScopedVariable&) = delete;
    ~CScopedVariable() { SetEnvironmentVariableW(m_name, nullptr); }

private:
    static CString Decimal(size_t number)
    {
        CString text;
        text.Format(L"%u", static_cast<unsigned>(number));
        return text;
    }

    const wchar_t* m_name;
};
