// Owners for Win32 handles: one class template over a small traits type that
// says what the empty value is and how the handle is closed.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits> class CUniqueHandle {
public:
    using Type = typename Traits::Type;

    CUniqueHandle() noexcept : m_handle(Traits::Empty()) {}
    explicit CUniqueHandle(Type handle) noexcept : m_handle(handle) {}
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_handle(other.Detach()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept
    {
        Reset(other.Detach());
        return *this;
    }
    ~CUniqueHandle() { Reset(); }

    Type Get() const noexcept { return m_handle; }
    operator Type() const noexcept { return m_handle; }
    bool IsValid() const noexcept { return m_handle != Traits::Empty(); }
    explicit operator bool() const noexcept { return IsValid(); }

    void Reset(Type handle = Traits::Empty()) noexcept
    {
        if (m_handle != Traits::Empty())
            Traits::Close(m_handle);
        m_handle = handle;
    }
    Type Detach() noexcept { return std::exchange(m_handle, Traits::Empty()); }

private:
    Type m_handle;
};

// A handle whose empty value is null, closed by the given function.
template <typename T, auto CloseFunction> struct NullHandleTraits {
    using Type = T;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { CloseFunction(h); }
};

// CreateFileW, FindFirstFileW and friends report failure as INVALID_HANDLE_VALUE.
template <auto CloseFunction> struct InvalidHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { CloseFunction(h); }
};

template <typename T> using CGdiObject = CUniqueHandle<NullHandleTraits<T, &DeleteObject>>;

using CHandle = CUniqueHandle<NullHandleTraits<HANDLE, &CloseHandle>>;
using CFileHandle = CUniqueHandle<InvalidHandleTraits<&CloseHandle>>;
using CFindHandle = CUniqueHandle<InvalidHandleTraits<&FindClose>>;
using CBitmapHandle = CGdiObject<HBITMAP>;
using CFontHandle = CGdiObject<HFONT>;
using CBrushHandle = CGdiObject<HBRUSH>;
using CPenHandle = CGdiObject<HPEN>;
using CRgnHandle = CGdiObject<HRGN>;
using CMemoryDc = CUniqueHandle<NullHandleTraits<HDC, &DeleteDC>>;
using CIconHandle = CUniqueHandle<NullHandleTraits<HICON, &DestroyIcon>>;
using CRegKey = CUniqueHandle<NullHandleTraits<HKEY, &RegCloseKey>>;
using CModuleHandle = CUniqueHandle<NullHandleTraits<HMODULE, &FreeLibrary>>;

// A device context from GetDC, given back with ReleaseDC.
class CWindowDc {
public:
    explicit CWindowDc(HWND hwnd) noexcept : m_hwnd(hwnd), m_hdc(GetDC(hwnd)) {}
    CWindowDc(const CWindowDc&) = delete;
    CWindowDc& operator=(const CWindowDc&) = delete;
    ~CWindowDc()
    {
        if (m_hdc)
            ReleaseDC(m_hwnd, m_hdc);
    }
    operator HDC() const noexcept { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// Selects a GDI object into a DC for one scope.
class CSelectObject {
public:
    CSelectObject(HDC hdc, HGDIOBJ object) noexcept : m_hdc(hdc), m_old(SelectObject(hdc, object)) {}
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;
    ~CSelectObject()
    {
        if (m_old)
            SelectObject(m_hdc, m_old);
    }

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};
