#include "app/startup/StaleReplacements.h"

#include "app/catalog/LocalLists.h"
#include "app/common/ConfigCodec.h"
#include "app/common/FileReplace.h"
#include "app/install/PlacedThemes.h"
#include "app/startup/CorvaneModule.h"

void ClearStaleReplacements()
{
    for (const CString& path : {DataListPath(1), DataListPath(2), PlacedThemesPath()})
        ClearStaleReplacement(path);
    for (const wchar_t* settings : {L"Config\\common.ini", L"Config\\ad.ini"})
        ClearStaleConfigCopies(_Module.m_strAppDir + settings);
}
