#include "skin/SkXml.h"

#include <cstring>

#include "base/XmlNesting.h"

bool ParseSkinXml(const std::string& utf8, TiXmlDocument& doc)
{
    if (!XmlNestingWithin(utf8, kMaxXmlNesting, TIXML_ENCODING_UTF8))
        return false;
    doc.Parse(utf8.c_str(), nullptr, TIXML_ENCODING_UTF8);
    return !doc.Error();
}

const TiXmlElement* RootElement(const TiXmlDocument& doc)
{
    return doc.FirstChildElement();
}

bool HasName(const TiXmlElement* element, const char* name)
{
    return element && std::strcmp(element->Value(), name) == 0;
}
