#include "app/catalog/LocalLists.h"

#include "app/common/XmlReader.h"
#include "app/common/XmlText.h"
#include "app/startup/CorvaneModule.h"
#include "base/CriticalSection.h"
#include "base/Handle.h"

#include <vector>

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

// The jsons texts of a list in document order, as the paging calls read
// them (ANSI code page), kept while the file is the one they were read
// from: the same change count of this program's writes, the same size and
// the same time of last writing.
struct ListTexts {
    bool valid = false;
    unsigned generation = 0;
    CString path;
    ULONGLONG size = 0;
    FILETIME written = {};
    std::vector<std::string> texts;
};

ListTexts& CachedTexts(int kind)
{
    static ListTexts themes;
    static ListTexts wallpapers;
    return kind == 2 ? wallpapers : themes;
}

// Counts the changes this program makes to each list; a change ends what
// was kept of it. Bumped under the list's lock.
unsigned& Generation(int kind)
{
    static unsigned themes = 0;
    static unsigned wallpapers = 0;
    return kind == 2 ? wallpapers : themes;
}

bool FileStamp(const CString& path, ULONGLONG& size, FILETIME& written)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return false;
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    written = data.ftLastWriteTime;
    return true;
}

// The list's jsons texts, read anew when the file changed. Called with the
// list's lock held.
const std::vector<std::string>& ListJsonsTexts(int kind)
{
    ListTexts& cache = CachedTexts(kind);
    const CString path = DataListPath(kind);
    ULONGLONG size = 0;
    FILETIME written = {};
    const bool stamped = FileStamp(path, size, written);
    if (stamped && cache.valid && cache.generation == Generation(kind) && cache.path == path &&
        cache.size == size && CompareFileTime(&cache.written, &written) == 0)
        return cache.texts;
    cache = ListTexts();
    CXmlReader list(path);
    // The walk of the wrapper's counts: the first "jsons" element depth
    // first, then on from its container's next sibling.
    TiXmlElement* e = nullptr;
    for (bool found = list.FindElement(list.CurrentElement(), "jsons", e); found;) {
        const TiXmlNode* first = e->FirstChild();
        cache.texts.push_back(Utf8ToAnsiString(first && first->ToText() ? first->ValueStr() : std::string()));
        TiXmlNode* parent = e->Parent();
        found = list.FindElement(parent ? parent->NextSiblingElement() : nullptr, "jsons", e);
    }
    cache.valid = stamped;
    cache.generation = Generation(kind);
    cache.path = path;
    cache.size = size;
    cache.written = written;
    return cache.texts;
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
    int count = 0;
    for (const std::string& text : ListJsonsTexts(kind))
        count += filter.empty() || text.find(filter) != std::string::npos ? 1 : 0;
    return count;
}

std::string CollectListTexts(int kind, int from, int to, const std::string& filter)
{
    std::string texts;
    CCriticalSectionLock lock(ListLock(kind));
    int number = 0;
    for (const std::string& text : ListJsonsTexts(kind)) {
        if (!filter.empty() && text.find(filter) == std::string::npos)
            continue;
        if (++number < from)
            continue;
        if (number > to)
            break;
        texts += text;
        texts += ',';
    }
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
    ++Generation(kind);
    CXmlReader list(path);
    return list.AddNodes(records, static_cast<int>(sizeof(records) / sizeof(records[0])), path);
}

bool RemoveListItem(int kind, const CString& id)
{
    const CString path = DataListPath(kind);
    CCriticalSectionLock lock(ListLock(kind));
    ++Generation(kind);
    CXmlReader list(path);
    return list.RemoveItem(path, kItem, kId, id);
}

bool ListIsWritable(int kind)
{
    const CString path = DataListPath(kind);
    // A read-only list is never replaced, even where the open below would
    // be allowed (an administrator's, or root's under Wine).
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    // Opened for writing, nothing written.
    const CFileHandle file(CreateFileW(path, GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

bool SetItemStatus(int kind, const CString& id, int digit)
{
    const std::string value(1, static_cast<char>('0' + digit % 10));
    const CString path = DataListPath(kind);
    CCriticalSectionLock lock(ListLock(kind));
    ++Generation(kind);
    CXmlReader list(path);
    return list.ReplaceJsonValue(path, kItem, kId, id, "jsons", kStatusKey, value, 1);
}

bool SetItemProgress(int kind, const CString& id, int percent)
{
    const std::string value = "\"" + std::to_string(percent) + "\"";
    const CString path = DataListPath(kind);
    CCriticalSectionLock lock(ListLock(kind));
    ++Generation(kind);
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
