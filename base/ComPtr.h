// Reference holders for COM: interface pointers, BSTR and VARIANT.
#pragma once

#include <windows.h>

#include <oleauto.h>
#include <unknwn.h>

#include <utility>

template <typename T> class CComPtr {
public:
    CComPtr() noexcept = default;
    CComPtr(T* p) noexcept : m_p(p)
    {
        if (m_p)
            m_p->AddRef();
    }
    CComPtr(const CComPtr& other) noexcept : CComPtr(other.m_p) {}
    CComPtr(CComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~CComPtr() { Release(); }

    CComPtr& operator=(const CComPtr& other) noexcept
    {
        CComPtr copy(other);
        std::swap(m_p, copy.m_p);
        return *this;
    }
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }
    CComPtr& operator=(T* p) noexcept { return *this = CComPtr(p); }

    T* Get() const noexcept { return m_p; }
    operator T*() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    // For out parameters: the old pointer is released first.
    T** operator&() noexcept
    {
        Release();
        return &m_p;
    }

    void Release() noexcept
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    void Attach(T* p) noexcept
    {
        Release();
        m_p = p;
    }
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }

    template <typename Q> HRESULT QueryInterface(Q** out) const noexcept
    {
        if (!m_p)
            return E_POINTER;
        return m_p->QueryInterface(__uuidof(Q), reinterpret_cast<void**>(out));
    }

    HRESULT CoCreateInstance(REFCLSID clsid, DWORD context = CLSCTX_INPROC_SERVER) noexcept
    {
        Release();
        return ::CoCreateInstance(clsid, nullptr, context, __uuidof(T), reinterpret_cast<void**>(&m_p));
    }

private:
    T* m_p = nullptr;
};

class CComBSTR {
public:
    CComBSTR() noexcept = default;
    CComBSTR(const wchar_t* text) : m_str(text ? SysAllocString(text) : nullptr) {}
    CComBSTR(const wchar_t* text, UINT length) : m_str(SysAllocStringLen(text, length)) {}
    CComBSTR(const CComBSTR& other)
        : m_str(other.m_str ? SysAllocStringLen(other.m_str, other.Length()) : nullptr)
    {
    }
    CComBSTR(CComBSTR&& other) noexcept : m_str(std::exchange(other.m_str, nullptr)) {}
    ~CComBSTR() { SysFreeString(m_str); }
    CComBSTR& operator=(CComBSTR other) noexcept
    {
        std::swap(m_str, other.m_str);
        return *this;
    }

    operator BSTR() const noexcept { return m_str; }
    BSTR* operator&() noexcept
    {
        SysFreeString(std::exchange(m_str, nullptr));
        return &m_str;
    }
    UINT Length() const noexcept { return SysStringLen(m_str); }
    BSTR Detach() noexcept { return std::exchange(m_str, nullptr); }
    void Attach(BSTR str) noexcept
    {
        SysFreeString(m_str);
        m_str = str;
    }

private:
    BSTR m_str = nullptr;
};

class CComVariant : public VARIANT {
public:
    CComVariant() noexcept { VariantInit(this); }
    CComVariant(const wchar_t* text) noexcept
    {
        VariantInit(this);
        vt = VT_BSTR;
        bstrVal = SysAllocString(text ? text : L"");
    }
    CComVariant(int value) noexcept
    {
        VariantInit(this);
        vt = VT_I4;
        lVal = value;
    }
    CComVariant(const VARIANT& other) noexcept
    {
        VariantInit(this);
        VariantCopy(this, const_cast<VARIANT*>(&other));
    }
    CComVariant(const CComVariant& other) noexcept : CComVariant(static_cast<const VARIANT&>(other)) {}
    ~CComVariant() { VariantClear(this); }
    CComVariant& operator=(const CComVariant& other) noexcept
    {
        if (this != &other)
            VariantCopy(this, const_cast<CComVariant*>(&other));
        return *this;
    }
    void Clear() noexcept { VariantClear(this); }
    HRESULT ChangeType(VARTYPE type) noexcept { return VariantChangeType(this, this, 0, type); }
};
