#include "skin/SkXml.h"

#include <cstring>

#include "base/XmlNesting.h"

bool ParseSkinXml(std::string_view utf8, TiXmlDocument& doc)
{
    return ParseXmlText(utf8, doc, TIXML_ENCODING_UTF8);
}

const TiXmlElement* RootElement(const TiXmlDocument& doc)
{
    return doc.FirstChildElement();
}

bool HasName(const TiXmlElement* element, const char* name)
{
    return element && std::strcmp(element->Value(), name) == 0;
}
