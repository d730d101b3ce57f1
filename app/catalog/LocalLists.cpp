#include "app/catalog/LocalLists.h"

#include "app/common/XmlReader.h"
#include "app/common/XmlText.h"
#include "app/startup/CorvaneModule.h"
#include "base/CriticalSection.h"

namespace {

const char kItem[] = "item";
const char kId[] = "id";
const char kStatusKey[] = "\"status\":";
const char kProgressKey[] = "\"progress\":";

// One lock per list file.
CCriticalSection& ListLock(int kind)
{
    static CCriticalSection themes;
    static CCriticalSection wallpapers;
    return kind == 2 ? wallpapers : themes;
}

// The text of an element's first child node, when that is text.
const char* ElementText(const TiXmlElement* element)
{
    const TiXmlNode* child = element ? element->FirstChild() : nullptr;
    const TiXmlText* text = child ? child->ToText() : nullptr;
    return text ? text->Value() : nullptr;
}

} // namespace

CString DataListPath(int kind)
{
    return _Module.m_strAppDir + (kind == 2 ? L"Data\\MyImages.xml" : L"Data\\MyThemes.xml");
}

CString PackageFileText(const CString& id)
{
    return L"Ravonyx\\download\\" + id + L".zip";
}

bool ListHasItem(int kind, const CString& id)
{
    CString file;
    return ReadItemFile(kind, id, file);
}

bool ReadItemFile(int kind, const CString& id, CString& file)
{
    CCriticalSectionLock lock(ListLock(kind));
    CXmlReader list(DataListPath(kind));
    std::string text;
    if (!list.GetItemChildText(kItem, kId, id, "file", text))
        return false;
    file = CString::FromAnsi(text.c_str());
    return true;
}

bool ReadItemName(int kind, const CString& id, CString& name)
{
    CCriticalSectionLock lock(ListLock(kind));
    CXmlReader list(DataListPath(kind));
    std::string text;
    if (!list.GetItemAttribute(kItem, kId, id, "name", text))
        return false;
    name = CString::FromAnsi(text.c_str());
    return true;
}

bool ReadItemJsons(int kind, const CString& id, CString& jsons)
{
    CCriticalSectionLock lock(ListLock(kind));
    CXmlReader list(DataListPath(kind));
    std::string text;
    if (!list.GetItemChildText(kItem, kId, id, "jsons", text))
        return false;
    jsons = CString::FromAnsi(text.c_str());
    return true;
}

int CountListItems(int kind, const std::string& filter)
{
    CCriticalSectionLock lock(ListLock(kind));
    CXmlReader list(DataListPath(kind));
    return list.CurrentElement() ? list.CountItems("jsons", filter) : 0;
}

std::string CollectListTexts(int kind, int from, int to, const std::string& filter)
{
    std::string texts;
    CCriticalSectionLock lock(ListLock(kind));
    CXmlReader list(DataListPath(kind));
    list.CollectItemTexts(texts, "jsons", from, to, filter);
    return texts;
}

bool AddListItem(int kind, const CString& id, const CString& name, const CString& jsons, const CString& file)
{
    const XmlNodeRecord records[] = {
        {"nextnode", "item", CString()}, {"attribute", "id", id},   {"attribute", "name", name},
        {"nextnode", "jsons", jsons},    {"subnode", "file", file},
    };
    const CString path = DataListPath(kind);
    CCriticalSectionLock lock(ListLock(kind));
    CXmlReader list(path);
    return list.AddNodes(records, static_cast<int>(sizeof(records) / sizeof(records[0])), path);
}

bool RemoveListItem(int kind, const CString& id)
{
    const CString path = DataListPath(kind);
    CCriticalSectionLock lock(ListLock(kind));
    CXmlReader list(path);
    return list.RemoveItem(path, kItem, kId, id);
}

bool SetItemStatus(int kind, const CString& id, int digit)
{
    const std::string value(1, static_cast<char>('0' + digit % 10));
    const CString path = DataListPath(kind);
    CCriticalSectionLock lock(ListLock(kind));
    CXmlReader list(path);
    return list.ReplaceJsonValue(path, kItem, kId, id, "jsons", kStatusKey, value, 1);
}

bool SetItemProgress(int kind, const CString& id, int percent)
{
    const std::string value = "\"" + std::to_string(percent) + "\"";
    const CString path = DataListPath(kind);
    CCriticalSectionLock lock(ListLock(kind));
    CXmlReader list(path);
    return list.ReplaceJsonValue(path, kItem, kId, id, "jsons", kProgressKey, value, 2);
}

std::map<std::string, std::string> ItemStatusMap(int kind)
{
    std::map<std::string, std::string> statuses;
    CCriticalSectionLock lock(ListLock(kind));
    CXmlReader list(DataListPath(kind));
    TiXmlElement* root = list.CurrentElement();
    if (!root)
        return statuses;
    for (TiXmlElement* item = root->FirstChildElement(kItem); item; item = item->NextSiblingElement(kItem)) {
        const char* id = item->Attribute(kId);
        const char* jsons = ElementText(item->FirstChildElement("jsons"));
        if (!id || !jsons)
            continue;
        const std::string text = jsons;
        const size_t at = text.find(kStatusKey);
        if (at == std::string::npos)
            continue;
        const size_t after = at + sizeof(kStatusKey) - 1;
        // The ids are decimal digits, and a status is one digit: the same
        // bytes in UTF-8 and in the ANSI code page.
        statuses.emplace(id, after < text.size() ? text.substr(after, 1) : std::string());
    }
    return statuses;
}
