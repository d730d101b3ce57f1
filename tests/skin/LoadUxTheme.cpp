// Puts uxtheme.dll into the process before any test runs, so that the skin
// library binds the visual-style functions and draws themed glyphs.
#include <windows.h>

namespace {

const HMODULE g_uxTheme = LoadLibraryW(L"uxtheme.dll");

} // namespace
