#include "skin/SkDialogFile.h"

#include <shlwapi.h>

#include <string>

#include <tinyxml.h>

#include "skin/SkItemFactory.h"
#include "skin/SkResource.h"
#include "skin/SkXml.h"

BOOL CSkDialogFile::LoadFromXml(const TiXmlElement* element)
{
    if (!CSkWindow::LoadFromXml(element))
        return FALSE;
    const char* src = element->Attribute("src");
    if (!src || !*src)
        return FALSE;
    std::string text;
    if (!LoadResourceData(static_cast<UINT>(StrToIntA(src)), L"xml", text))
        return TRUE;
    TiXmlDocument doc;
    if (!ParseSkinXml(text, doc))
        return FALSE;
    CreateChildren(this, RootElement(doc));
    return TRUE;
}
