#include "skin/UxThemeApi.h"

namespace {

template <typename Fn> Fn Lookup(HMODULE library, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

const UxThemeApi& UxThemeApi::Instance()
{
    static UxThemeApi* api = [] {
        UxThemeApi* made = new UxThemeApi();
        LoadUxThemeApi(*made);
        return made;
    }();
    return *api;
}

void LoadUxThemeApi(UxThemeApi& api)
{
    api = UxThemeApi{};
    HMODULE library = GetModuleHandleW(L"uxtheme.dll");
    if (!library)
        return;
    api.loaded = TRUE;
    api.openThemeData = Lookup<UxThemeApi::OpenThemeDataFn>(library, "OpenThemeData");
    api.closeThemeData = Lookup<UxThemeApi::CloseThemeDataFn>(library, "CloseThemeData");
    api.drawThemeBackground = Lookup<UxThemeApi::DrawThemeBackgroundFn>(library, "DrawThemeBackground");
    api.setWindowTheme = Lookup<UxThemeApi::SetWindowThemeFn>(library, "SetWindowTheme");
}

HRESULT RemoveWindowTheme(HWND hwnd)
{
    const UxThemeApi& api = UxThemeApi::Instance();
    if (!api.setWindowTheme)
        return E_NOTIMPL;
    return api.setWindowTheme(hwnd, L"", L"");
}

BOOL OpenButtonTheme(HTHEME& theme)
{
    const UxThemeApi& api = UxThemeApi::Instance();
    theme = api.openThemeData ? api.openThemeData(nullptr, L"BUTTON") : nullptr;
    return theme != nullptr;
}
