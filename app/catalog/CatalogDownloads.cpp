#include "app/catalog/CatalogDownloads.h"

void AddItemAndDownload(HWND, int, int, int)
{
    // The catalogue's download handlers come with the local item lists; until then a request is dropped.
}

void AutoDownloadPending()
{
    // The pending list is kept with the local item lists; until then there is nothing to resume.
}
