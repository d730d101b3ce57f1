#include "skin/SkString.h"

#include <shlwapi.h>

#include "skin/SkResource.h"
#include "skin/SkXml.h"

SkString& SkString::Instance()
{
    // Lives until the process ends.
    static SkString* table = new SkString();
    return *table;
}

const wchar_t* SkString::Text(int id)
{
    const wchar_t* text = Get(id);
    return text ? text : L"";
}

const wchar_t* SkString::Find(int id) const
{
    auto found = m_texts.find(id);
    return found == m_texts.end() ? nullptr : found->second.GetString();
}

namespace {

// The value of the element's first child when that child is text.
const char* ElementText(const TiXmlElement* element)
{
    const TiXmlNode* first = element->FirstChild();
    if (first && first->ToText())
        return first->Value();
    return "";
}

} // namespace

bool SkString::LoadXml(const std::string& utf8)
{
    TiXmlDocument doc;
    if (!ParseSkinXml(utf8, doc))
        return false;
    const TiXmlElement* root = RootElement(doc);
    if (!HasName(root, "string"))
        return false;
    for (const TiXmlElement* s = root->FirstChildElement("s"); s; s = s->NextSiblingElement("s")) {
        const char* id = s->Attribute("id");
        if (!id)
            continue;
        m_texts[StrToIntA(id)] = CString::FromUtf8(ElementText(s));
    }
    return true;
}

bool LoadStringTable()
{
    std::string bytes;
    if (!LoadResourceData(102, L"xml", bytes))
        return false;
    return SkString::Instance().LoadXml(bytes);
}
