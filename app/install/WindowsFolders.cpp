#include "app/install/WindowsFolders.h"

#include "app/common/WindowsVersion.h"

namespace {

CString FromBuffer(UINT(WINAPI* read)(LPWSTR, UINT))
{
    wchar_t path[MAX_PATH + 1] = {};
    const UINT length = read(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? CString(path) : CString();
}

} // namespace

CString WindowsDirectory()
{
    return FromBuffer(GetWindowsDirectoryW);
}

CString SystemDirectory()
{
    return FromBuffer(GetSystemDirectoryW);
}

CString ThemesDirectory()
{
    return WindowsDirectory() + L"\\Resources\\Themes";
}

bool ThemePageOnly()
{
    return g_nOsMajorVersion == 6 && g_nOsMinorVersion > 1;
}

bool DisplayDialogWindows()
{
    return g_nOsMajorVersion <= 5;
}
