// A library that exports a visual-style setter under ordinal 65 without a
// name, as Windows' uxtheme.dll does, and records how it was called. Wine's
// uxtheme has a named function at that ordinal, so the call path is tested
// with this one.
#include <windows.h>

namespace {

wchar_t g_call[1024];

} // namespace

extern "C" HRESULT WINAPI SetStyleByOrdinal(LPCWSTR file, LPCWSTR color, LPCWSTR size, UINT flags)
{
    wsprintfW(g_call, L"%s|%s|%s|%u", file ? file : L"(null)", color ? color : L"(null)",
              size ? size : L"(null)", flags);
    return S_OK;
}

// "" until the setter was called; then file|color|size|flags.
extern "C" const wchar_t* WINAPI LastVisualStyleCall()
{
    return g_call;
}
