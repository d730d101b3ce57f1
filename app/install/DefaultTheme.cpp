#include "app/install/DefaultTheme.h"

#include "app/install/ThemeApply.h"
#include "app/install/WindowsFolders.h"
#include "skin/CorvaneMsgBox.h"

void RestoreDefaultTheme(CurrentThemeFileReader currentTheme)
{
    const CString themes = ThemesDirectory();
    if (!DisplayDialogWindows()) {
        OpenThemeFile(themes + L"\\Aero.theme\"");
        return;
    }
    const CString luna = L"Luna";
    CString current;
    if (!currentTheme(current)) {
        CCorvaneMsgBox::Show(L"无法获取当前主题，请检查用户权限或者手工恢复主题！", L"提示", MB_OK);
        return;
    }
    if (ThemeFileFrom(current, luna) == luna + L"\\" + luna + L".msstyles")
        return;
    if (!OpenThemeFile(themes + L"\\" + luna + L".theme\""))
        CCorvaneMsgBox::Show(L"默认主题异常，请手工恢复主题！", L"提示", MB_OK);
}
