#include "app/common/XmlReader.h"

#include "app/common/FileReplace.h"
#include "app/common/XmlText.h"
#include "base/XmlNesting.h"

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using CFile = std::unique_ptr<std::FILE, FileCloser>;

// The element's text as stored (UTF-8): its first child when that is a text.
std::string StoredText(const TiXmlElement* element)
{
    const TiXmlNode* first = element->FirstChild();
    return first && first->ToText() ? first->ValueStr() : std::string();
}

std::string AnsiText(const TiXmlElement* element)
{
    return Utf8ToAnsiString(StoredText(element));
}

const TiXmlAttribute* FindAttribute(const TiXmlElement* element, const std::string& name)
{
    for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
        if (a->NameTStr() == name)
            return a;
    }
    return nullptr;
}

// The length of the UTF-8 sequence that starts at text[at] (one byte for a
// stray or cut one).
size_t SequenceLength(const std::string& text, size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    size_t n = 1;
    while (n < length && at + n < text.size() && (static_cast<unsigned char>(text[at + n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

// The next element to search from after a tagged element: its parent's
// next sibling element.
TiXmlElement* NextContainer(TiXmlElement* element)
{
    TiXmlNode* parent = element->Parent();
    return parent ? parent->NextSiblingElement() : nullptr;
}

// The file's text as TinyXML's own file loading hands it to the parser: line
// ends made "\n" ("\r\n" and a lone "\r" alike), up to the first NUL. False
// when the file cannot be read, or is empty.
bool ReadDocumentText(const CString& path, std::string& text)
{
    CFile file{_wfopen(path, L"rb")};
    if (!file)
        return false;
    std::string bytes;
    char block[64 * 1024];
    size_t read;
    while ((read = std::fread(block, 1, sizeof(block), file.get())) > 0)
        bytes.append(block, read);
    if (std::ferror(file.get()))
        return false;
    text.clear();
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size() && bytes[i] != '\0'; ++i) {
        if (bytes[i] == '\r') {
            text += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            text += bytes[i];
        }
    }
    return !bytes.empty();
}

} // namespace

CXmlReader::CXmlReader(const CString& path)
{
    // A document that does not parse to its end is not used at all, nor one
    // nested too deeply to parse safely. The scan and the parser read the
    // same text in the same encoding.
    std::string text;
    if (ReadDocumentText(path, text) && ParseXmlText(text, m_document, TIXML_DEFAULT_ENCODING))
        m_current = m_document.FirstChildElement();
}

CXmlReader::~CXmlReader()
{
    m_current = nullptr;
}

bool CXmlReader::Save(const CString& path) const
{
    return ReplaceFileContents(path, [this](std::FILE* file) { return m_document.SaveFile(file); });
}

bool CXmlReader::FindElement(TiXmlElement* start, const std::string& tag, TiXmlElement*& out) const
{
    if (!start)
        return false;
    if (start->ValueStr() == tag) {
        out = start;
        return true;
    }
    for (TiXmlElement* child = start->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (FindElement(child, tag, out))
            return true;
    }
    return false;
}

bool CXmlReader::FindElementWithAttribute(TiXmlElement* start, const std::string& tag,
                                          const std::string& name, const std::string& value,
                                          TiXmlElement*& out) const
{
    if (!start)
        return false;
    if (start->ValueStr() == tag) {
        for (const TiXmlAttribute* a = start->FirstAttribute(); a; a = a->Next()) {
            if (a->NameTStr() == name && a->ValueStr() == value) {
                out = start;
                return true;
            }
        }
    }
    for (TiXmlElement* child = start->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (FindElementWithAttribute(child, tag, name, value, out))
            return true;
    }
    return false;
}

bool CXmlReader::FindSiblingElement(TiXmlElement* start, const std::string& tag, TiXmlElement*& out) const
{
    for (TiXmlElement* e = start; e; e = e->NextSiblingElement()) {
        if (e->ValueStr() == tag) {
            out = e;
            return true;
        }
    }
    return false;
}

bool CXmlReader::FindItem(const std::string& itemTag, const std::string& idAttribute, const CString& id,
                          TiXmlElement*& item) const
{
    // The document holds UTF-8, so the id is compared in UTF-8.
    return FindElementWithAttribute(m_current, itemTag, idAttribute, ToUtf8String(id), item);
}

bool CXmlReader::FindItemChild(const std::string& itemTag, const std::string& idAttribute, const CString& id,
                               const std::string& childTag, TiXmlElement*& child) const
{
    TiXmlElement* item = nullptr;
    return FindItem(itemTag, idAttribute, id, item) &&
           FindSiblingElement(item->FirstChildElement(), childTag, child);
}

bool CXmlReader::MapItemStatus(const std::string& textTag, const std::string& key, const std::string& itemTag,
                               const std::string& idAttribute, std::map<std::string, std::string>& out)
{
    if (!m_current)
        return false;
    TiXmlElement* start = m_current;
    TiXmlElement* text = nullptr;
    if (!FindElement(start, textTag, text))
        return true;
    for (;;) {
        const std::string t = AnsiText(text);
        const size_t at = t.find(key);
        TiXmlElement* from = text;
        if (at != std::string::npos) {
            const size_t after = at + key.size();
            const std::string status = after < t.size() ? t.substr(after, 1) : std::string();
            TiXmlElement* item = nullptr;
            if (!FindElement(start, itemTag, item))
                return true;
            if (const TiXmlAttribute* id = FindAttribute(item, idAttribute))
                out.emplace(Utf8ToAnsiString(id->ValueStr()), status);
            from = item;
        }
        start = from->NextSiblingElement();
        if (!start || !FindElement(start, textTag, text))
            return true;
    }
}

bool CXmlReader::GetItemChildText(const std::string& itemTag, const std::string& idAttribute,
                                  const CString& id, const std::string& childTag, std::string& out)
{
    TiXmlElement* child = nullptr;
    if (!FindItemChild(itemTag, idAttribute, id, childTag, child))
        return false;
    out = AnsiText(child);
    return true;
}

bool CXmlReader::GetItemAttribute(const std::string& itemTag, const std::string& idAttribute,
                                  const CString& id, const std::string& attributeName, std::string& out)
{
    TiXmlElement* item = nullptr;
    if (!FindItem(itemTag, idAttribute, id, item))
        return false;
    const TiXmlAttribute* attribute = FindAttribute(item, attributeName);
    if (!attribute)
        return false;
    out = Utf8ToAnsiString(attribute->ValueStr());
    return true;
}

int CXmlReader::CountItems(const std::string& tag, const std::string& filter)
{
    int count = 0;
    TiXmlElement* e = nullptr;
    for (bool found = FindElement(m_current, tag, e); found; found = FindElement(NextContainer(e), tag, e)) {
        if (filter.empty() || AnsiText(e).find(filter) != std::string::npos)
            ++count;
    }
    return count;
}

bool CXmlReader::CollectItemTexts(std::string& out, const std::string& tag, int from, int to,
                                  const std::string& filter)
{
    if (!m_current)
        return false;
    int number = 0;
    TiXmlElement* e = nullptr;
    for (bool found = FindElement(m_current, tag, e); found; found = FindElement(NextContainer(e), tag, e)) {
        const std::string text = AnsiText(e);
        if (!filter.empty() && text.find(filter) == std::string::npos)
            continue;
        ++number;
        if (number < from)
            continue;
        if (number > to)
            break;
        out += text;
        out += ',';
    }
    return true;
}

bool CXmlReader::RemoveItem(const CString& savePath, const std::string& itemTag,
                            const std::string& idAttribute, const CString& id)
{
    TiXmlElement* item = nullptr;
    if (!FindItem(itemTag, idAttribute, id, item))
        return false;
    if (item == m_current) {
        m_document.RemoveChild(item);
        m_current = m_document.FirstChildElement();
    } else {
        TiXmlNode* parent = item->Parent();
        if (!parent || !parent->ToElement())
            return false;
        parent->RemoveChild(item);
    }
    return Save(savePath);
}

bool CXmlReader::ReplaceJsonValue(const CString& savePath, const std::string& itemTag,
                                  const std::string& idAttribute, const CString& id,
                                  const std::string& childTag, const std::string& key,
                                  const std::string& newValue, int mode)
{
    TiXmlElement* child = nullptr;
    if (!FindItemChild(itemTag, idAttribute, id, childTag, child))
        return false;
    // The rewrite works on the stored UTF-8 text; only the key and the new
    // value come in the ANSI code page.
    std::string text = StoredText(child);
    const std::string utf8Key = AnsiToUtf8String(key);
    const size_t at = text.find(utf8Key);
    if (at == std::string::npos)
        return false;
    const std::string replacement = utf8Key + AnsiToUtf8String(newValue);
    const size_t after = at + utf8Key.size();
    switch (mode) {
    case 1: {
        const size_t next = after < text.size() ? SequenceLength(text, after) : 0;
        text.replace(at, utf8Key.size() + next, replacement);
        break;
    }
    case 2: {
        const size_t brace = text.rfind('}');
        const size_t end = brace == std::string::npos || brace < at ? text.size() : brace;
        text.replace(at, end - at, replacement);
        break;
    }
    case 3:
        text = AnsiToUtf8String(newValue);
        break;
    default:
        break;
    }
    child->Clear();
    child->InsertEndChild(TiXmlText(text));
    return Save(savePath);
}

bool CXmlReader::AddNodes(const XmlNodeRecord* records, int count, const CString& savePath)
{
    TiXmlElement* anchor = m_current;
    if (!anchor)
        return false;
    for (int i = 0; i < count; ++i) {
        const XmlNodeRecord& record = records[i];
        const std::string value = ToUtf8String(record.value);
        if (record.kind == "attribute") {
            anchor->SetAttribute(record.name, value);
            continue;
        }
        TiXmlElement element(record.name);
        element.InsertEndChild(TiXmlText(value));
        TiXmlNode* added = nullptr;
        if (record.kind == "nextnode") {
            added = i == 0 && anchor->FirstChild() ? anchor->InsertBeforeChild(anchor->FirstChild(), element)
                                                   : anchor->InsertEndChild(element);
        } else {
            // A sibling needs a parent element; the root has none, and
            // nothing is placed or saved then.
            TiXmlNode* parent = anchor->Parent();
            if (!parent || !parent->ToElement())
                return false;
            added = parent->InsertEndChild(element);
        }
        if (!added || !added->ToElement())
            return false;
        anchor = added->ToElement();
    }
    return Save(savePath);
}
