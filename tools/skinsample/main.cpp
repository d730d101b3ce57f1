// skinsample: shows a sample skin dialog drawn by the skin library from
// layout resources. "skinsample PATH.png" saves a screenshot of it (and
// PATH-print.png, the view's own drawing) and ends: exit code 0 when both
// were written.
#include <windows.h>

#include "SampleDialog.h"
#include "skin/SkFontPool.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "skin/SkWinManager.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    // The start-up order of the program: strings (string 0 is the default
    // face), skins, styles.
    if (!LoadStringTable())
        return 2;
    SetDefaultFontFace(SkString::Get(0));
    if (!LoadSkins() || !LoadStyles())
        return 2;

    SkWinManager manager;
    CString path = commandLine ? commandLine : L"";
    path.Trim();
    path.Trim(L'"');
    CSampleDialog dialog(path);
    dialog.DoModal();
    if (path.IsEmpty())
        return 0;
    return dialog.m_saved ? 0 : 1;
}
