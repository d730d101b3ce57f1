// Calls a script object as a page does: names through GetIDsOfNames, then
// Invoke with the arguments last-first.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <initializer_list>
#include <vector>

#include "base/ComPtr.h"

inline DISPID DispIdOf(IDispatch& object, const wchar_t* name, HRESULT* hr = nullptr)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 12345;
    HRESULT result = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (hr)
        *hr = result;
    return id;
}

// Arguments in script order; the call reverses them.
class CScriptCall {
public:
    CScriptCall() = default;
    CScriptCall(std::initializer_list<CComVariant> args) : m_args(args.begin(), args.end())
    {
        for (size_t i = m_args.size(); i-- > 0;)
            m_reversed.push_back(m_args[i]);
    }

    HRESULT Invoke(IDispatch& object, DISPID id, WORD flags, VARIANT* result)
    {
        DISPPARAMS params = {m_reversed.empty() ? nullptr : m_reversed.data(), nullptr,
                             static_cast<UINT>(m_reversed.size()), 0};
        return object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
    }

private:
    std::vector<CComVariant> m_args;
    std::vector<CComVariant> m_reversed;
};
