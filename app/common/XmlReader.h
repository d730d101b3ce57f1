// The wrapper through which the program reads and rewrites its small XML
// files (the local item lists). Each use loads the file, runs one or a few
// operations, and every change saves the whole document at once.
//
// Names (tags, attributes, keys, filters) are 8-bit strings compared byte for
// byte. The read operations hand texts out in the ANSI code page. The
// document itself stays UTF-8: rewrites work on its UTF-8 text, so characters
// the ANSI code page cannot hold survive them.
#pragma once

#include "base/RefString.h"

#include <tinyxml.h>

#include <map>
#include <string>

// One step of AddNodes: kind "attribute" sets an attribute on the element
// made last, "nextnode" makes a child of it, any other kind a sibling of it.
struct XmlNodeRecord {
    std::string kind;
    std::string name;
    CString value;
};

class CXmlReader {
public:
    // Loads the file; a missing or malformed file, or one nested deeper than
    // kMaxXmlNesting levels (never parsed), leaves no current element, and
    // every operation then reports failure.
    explicit CXmlReader(const CString& path);
    CXmlReader(const CXmlReader&) = delete;
    CXmlReader& operator=(const CXmlReader&) = delete;
    ~CXmlReader();

    // The document's first element after loading; the searches start here.
    TiXmlElement* CurrentElement() const noexcept { return m_current; }

    // Depth-first, document order, start included.
    bool FindElement(TiXmlElement* start, const std::string& tag, TiXmlElement*& out) const;
    bool FindElementWithAttribute(TiXmlElement* start, const std::string& tag, const std::string& name,
                                  const std::string& value, TiXmlElement*& out) const;
    // Start and its following siblings only.
    bool FindSiblingElement(TiXmlElement* start, const std::string& tag, TiXmlElement*& out) const;

    // Maps each item's id to the one character after key in its text; an
    // item whose text ends with the key maps to "". The walk ends at the
    // first text without the key.
    bool MapItemStatus(const std::string& textTag, const std::string& key, const std::string& itemTag,
                       const std::string& idAttribute, std::map<std::string, std::string>& out);
    bool GetItemChildText(const std::string& itemTag, const std::string& idAttribute, const CString& id,
                          const std::string& childTag, std::string& out);
    bool GetItemAttribute(const std::string& itemTag, const std::string& idAttribute, const CString& id,
                          const std::string& attributeName, std::string& out);
    // Tagged elements (one per container) whose text holds the filter; all
    // of them for an empty filter.
    int CountItems(const std::string& tag, const std::string& filter);
    // Appends the texts of the matching elements numbered from..to (from 1),
    // each followed by ",".
    bool CollectItemTexts(std::string& out, const std::string& tag, int from, int to,
                          const std::string& filter);

    // The change operations save the whole document to savePath and report
    // true only once it is there; a save that fails leaves the file as it
    // was and reports false.
    bool RemoveItem(const CString& savePath, const std::string& itemTag, const std::string& idAttribute,
                    const CString& id);
    // Rewrites the item's child text at key (ANSI, like newValue): mode 1
    // the one character after the key, mode 2 up to the text's last "}",
    // mode 3 the whole text. False, and nothing saved, when key is absent.
    bool ReplaceJsonValue(const CString& savePath, const std::string& itemTag, const std::string& idAttribute,
                          const CString& id, const std::string& childTag, const std::string& key,
                          const std::string& newValue, int mode);
    bool AddNodes(const XmlNodeRecord* records, int count, const CString& savePath);

private:
    bool FindItem(const std::string& itemTag, const std::string& idAttribute, const CString& id,
                  TiXmlElement*& item) const;
    bool FindItemChild(const std::string& itemTag, const std::string& idAttribute, const CString& id,
                       const std::string& childTag, TiXmlElement*& child) const;
    // The whole document replaces the file in one step: a failed or
    // interrupted save leaves the file as it was, and reports false.
    bool Save(const CString& path) const;

    TiXmlDocument m_document;
    TiXmlElement* m_current = nullptr;
};
