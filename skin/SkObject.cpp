#include "skin/SkObject.h"

#include <cstring>

#include <tinyxml.h>

BOOL CSkObject::MatchesTag(const char* tag) const
{
    return tag && std::strcmp(tag, TagName()) == 0;
}

BOOL CSkObject::LoadFromXml(const TiXmlElement* element)
{
    if (!element)
        return FALSE;
    for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute;
         attribute = attribute->Next())
        ApplyAttribute(attribute->Name(), attribute->Value(), TRUE);
    return TRUE;
}

HRESULT CSkObject::ApplyAttribute(const char*, const char*, BOOL)
{
    return E_FAIL;
}
