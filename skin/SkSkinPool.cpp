#include "skin/SkSkinPool.h"

#include <cstring>

#include "skin/SkImageSkin.h"
#include "skin/SkPngSkin.h"
#include "skin/SkResource.h"
#include "skin/SkSkinButton.h"
#include "skin/SkSkinGradation.h"
#include "skin/SkSkinImgFrame.h"
#include "skin/SkSkinImgHorzExtend.h"
#include "skin/SkXml.h"

SkSkinPool& SkSkinPool::Instance()
{
    // Lives until the process ends, with its skins.
    static SkSkinPool* pool = new SkSkinPool();
    return *pool;
}

bool SkSkinPool::LoadXml(const std::string& utf8)
{
    m_skins.clear();
    TiXmlDocument doc;
    if (!ParseSkinXml(utf8, doc))
        return false;
    const TiXmlElement* root = RootElement(doc);
    if (!HasName(root, "skins"))
        return true;
    for (const TiXmlElement* element = root->FirstChildElement(); element;
         element = element->NextSiblingElement()) {
        const char* name = element->Attribute("name");
        const char* tag = element->Value();
        if (!name || !tag)
            continue;
        std::unique_ptr<CSkSkinBase> skin = CreateSkin(tag);
        if (!skin)
            continue;
        skin->LoadFromXml(element);
        m_skins[name] = std::move(skin);
    }
    return true;
}

CSkSkinBase* SkSkinPool::Find(const char* name) const
{
    if (!name)
        return nullptr;
    auto found = m_skins.find(name);
    return found == m_skins.end() ? nullptr : found->second.get();
}

bool LoadSkins()
{
    std::string bytes;
    if (!LoadResourceData(100, L"xml", bytes))
        return false;
    return SkSkinPool::Instance().LoadXml(bytes);
}

std::unique_ptr<CSkSkinBase> CreateSkin(const char* tag)
{
    if (!tag)
        return nullptr;
    if (std::strcmp(tag, "imglst") == 0)
        return std::make_unique<CSkImageSkin>();
    if (std::strcmp(tag, "imgframe") == 0)
        return std::make_unique<CSkSkinImgFrame>();
    if (std::strcmp(tag, "button") == 0)
        return std::make_unique<CSkSkinButton>();
    if (std::strcmp(tag, "imghorzex") == 0)
        return std::make_unique<CSkSkinImgHorzExtend>();
    if (std::strcmp(tag, "gradation") == 0)
        return std::make_unique<CSkSkinGradation>();
    if (std::strcmp(tag, "png") == 0)
        return std::make_unique<CSkPngSkin>();
    return nullptr;
}

CSkSkinBase* FindSkin(const char* name)
{
    return SkSkinPool::Instance().Find(name);
}
