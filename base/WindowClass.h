// A window class of our own, registered when the object is made, under a
// name generated for it, and unregistered when it goes. Its windows are made
// by CWindowImpl::Create and send their messages to the object that made
// them.
//
// One class per C++ window class: keep the object as a function-local static
// of that class (in a template, one per template argument):
//
//     static CWindowClass& WindowClass()
//     {
//         static CWindowClass cls(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW));
//         return cls;
//     }
#pragma once

#include <windows.h>

class CWindowClass {
public:
    explicit CWindowClass(UINT style, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                          HICON icon = nullptr, HICON smallIcon = nullptr) noexcept;
    CWindowClass(const CWindowClass&) = delete;
    CWindowClass& operator=(const CWindowClass&) = delete;
    ~CWindowClass();

    // 0 when the registration failed.
    ATOM Atom() const noexcept { return m_atom; }
    LPCWSTR Name() const noexcept { return m_name; }

private:
    wchar_t m_name[40];
    ATOM m_atom;
};
