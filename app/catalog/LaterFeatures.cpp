#include "app/catalog/LaterFeatures.h"

void CountActiveDay()
{
    // Usage statistics come with their own feature; until then nothing is counted.
}

void ShowDownloadFinishedPopup(const CString&, int, int)
{
    // The download-finished pop-up comes with the pop-ups; until then none is shown.
}
