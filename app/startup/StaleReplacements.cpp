#include "app/startup/StaleReplacements.h"

#include "app/catalog/LocalLists.h"
#include "app/common/FileReplace.h"
#include "app/install/PlacedThemes.h"

void ClearStaleReplacements()
{
    for (const CString& path : {DataListPath(1), DataListPath(2), PlacedThemesPath()})
        ClearStaleReplacement(path);
}
