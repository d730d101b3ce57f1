#include "app/catalog/LaterFeatures.h"

void InstallPackageThread(int, int)
{
    // Packages are installed once installation comes; until then a finished wallpaper stays in its package.
}

void RemoveThemePackage(const CString&)
{
    // Installed themes are removed once installation comes; until then none is installed.
}

void CountActiveDay()
{
    // Usage statistics come with their own feature; until then nothing is counted.
}

void ShowDownloadFinishedPopup(const CString&, int, int)
{
    // The download-finished pop-up comes with the pop-ups; until then none is shown.
}
