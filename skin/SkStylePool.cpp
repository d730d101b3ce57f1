#include "skin/SkStylePool.h"

#include "skin/SkResource.h"
#include "skin/SkXml.h"

SkStylePool::SkStylePool()
{
    m_styles[std::string()] = SkStyle();
}

SkStylePool& SkStylePool::Instance()
{
    // Lives until the process ends.
    static SkStylePool* pool = new SkStylePool();
    return *pool;
}

bool SkStylePool::LoadXml(const std::string& utf8)
{
    m_styles.clear();
    m_styles[std::string()] = SkStyle();
    TiXmlDocument doc;
    if (!ParseSkinXml(utf8, doc))
        return false;
    const TiXmlElement* root = RootElement(doc);
    if (!HasName(root, "style"))
        return true;
    for (const TiXmlElement* element = root->FirstChildElement("class"); element;
         element = element->NextSiblingElement("class")) {
        const char* name = element->Attribute("name");
        if (!name)
            continue;
        m_styles[name].LoadFromXml(element);
    }
    return true;
}

SkStyle& SkStylePool::Find(const char* name)
{
    if (name) {
        auto found = m_styles.find(name);
        if (found != m_styles.end())
            return found->second;
    }
    return m_styles[std::string()]; // inserted with the defaults when missing
}

bool LoadStyles()
{
    std::string bytes;
    if (!LoadResourceData(101, L"xml", bytes))
        return false;
    return SkStylePool::Instance().LoadXml(bytes);
}

SkStyle& FindStyle(const char* name)
{
    return SkStylePool::Instance().Find(name);
}
