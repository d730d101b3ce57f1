// The IUnknown and type-information part of the script objects pages reach
// as window.external: objects that live as long as their owner, so their
// reference count never frees them, and that answer IID_IDispatch only (the
// host holds them as IDispatch and never asks for IUnknown), and
// IID_IDispatchEx when they are one.
#pragma once

#include <dispex.h>
#include <oaidl.h>

#include <type_traits>

template <typename Interface = IDispatch> class CProgramDispatch : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        const bool extended = std::is_same<Interface, IDispatchEx>::value && iid == __uuidof(IDispatchEx);
        if (iid != IID_IDispatch && !extended)
            return E_NOINTERFACE;
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&m_refs)); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

protected:
    CProgramDispatch() = default;
    ~CProgramDispatch() = default;

private:
    LONG m_refs = 0;
};
