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

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { CloseHandle(h); }
};

// CreateFileW and friends report failure as INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { CloseHandle(h); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { FindClose(h); }
};

template <typename T> struct GdiObjectTraits {
    using Type = T;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { DeleteObject(h); }
};

struct MemoryDcTraits {
    using Type = HDC;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { DeleteDC(h); }
};

struct IconTraits {
    using Type = HICON;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { DestroyIcon(h); }
};

struct RegKeyTraits {
    using Type = HKEY;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { RegCloseKey(h); }
};

struct ModuleTraits {
    using Type = HMODULE;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { FreeLibrary(h); }
};

using CHandle = CUniqueHandle<KernelHandleTraits>;
using CFileHandle = CUniqueHandle<FileHandleTraits>;
using CFindHandle = CUniqueHandle<FindHandleTraits>;
using CBitmapHandle = CUniqueHandle<GdiObjectTraits<HBITMAP>>;
using CFontHandle = CUniqueHandle<GdiObjectTraits<HFONT>>;
using CBrushHandle = CUniqueHandle<GdiObjectTraits<HBRUSH>>;
using CPenHandle = CUniqueHandle<GdiObjectTraits<HPEN>>;
using CRgnHandle = CUniqueHandle<GdiObjectTraits<HRGN>>;
using CMemoryDc = CUniqueHandle<MemoryDcTraits>;
using CIconHandle = CUniqueHandle<IconTraits>;
using CRegKey = CUniqueHandle<RegKeyTraits>;
using CModuleHandle = CUniqueHandle<ModuleTraits>;

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
