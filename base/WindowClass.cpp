#include "base/WindowClass.h"

#include "base/AppModule.h"
#include "base/WindowImpl.h"

#include <cstdint>

namespace {

// "Ravonyx:" and the address of the class object in hexadecimal: unique in
// the process.
void MakeClassName(wchar_t* name, const void* owner)
{
    const wchar_t prefix[] = L"Ravonyx:";
    const wchar_t digits[] = L"0123456789ABCDEF";
    wchar_t* out = name;
    for (const wchar_t* p = prefix; *p; ++p)
        *out++ = *p;
    auto value = reinterpret_cast<std::uintptr_t>(owner);
    for (int shift = static_cast<int>(sizeof(value) * 8) - 4; shift >= 0; shift -= 4)
        *out++ = digits[(value >> shift) & 0xF];
    *out = L'\0';
}

} // namespace

CWindowClass::CWindowClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon,
                           HICON smallIcon) noexcept
{
    MakeClassName(m_name, this);

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &CWindowImpl::WindowProc;
    wc.hInstance = ThisModuleInstance();
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = m_name;
    wc.hIconSm = smallIcon;
    m_atom = RegisterClassExW(&wc);
}

CWindowClass::~CWindowClass()
{
    if (m_atom)
        UnregisterClassW(reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(m_atom)), ThisModuleInstance());
}
