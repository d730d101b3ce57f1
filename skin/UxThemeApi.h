// The four visual-style functions the skin library uses, bound only when
// uxtheme.dll is already in the process: this code never loads it.
#pragma once

#include <windows.h>

#include <uxtheme.h>

struct UxThemeApi {
    using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
    using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

    BOOL loaded;
    OpenThemeDataFn openThemeData;
    CloseThemeDataFn closeThemeData;
    DrawThemeBackgroundFn drawThemeBackground;
    SetWindowThemeFn setWindowTheme;

    // Filled at the first call; a library loaded later is never seen.
    static const UxThemeApi& Instance();
};

// Fills api from the uxtheme.dll of the process, or zeroes it.
void LoadUxThemeApi(UxThemeApi& api);

// Takes the visual style off a window: SetWindowTheme(hwnd, L"", L""), or
// E_NOTIMPL without the library.
HRESULT RemoveWindowTheme(HWND hwnd);

// OpenThemeData(NULL, L"BUTTON"); FALSE with a null theme when that is not
// available. The caller closes the theme with the closeThemeData entry.
BOOL OpenButtonTheme(HTHEME& theme);
