// The skin string table: texts by integer id, loaded once at start-up from
// XML resource 102 and only read afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>

#include "base/RefString.h"

class SkString {
public:
    SkString() = default;
    static SkString& Instance();

    // The text stored under id, or null when the table has no such id. The
    // pointer stays valid as long as the table is not loaded again.
    static const wchar_t* Get(int id) { return Instance().Find(id); }
    // The same, but an empty text for an absent id: for callers that format,
    // concatenate or measure the text.
    static const wchar_t* Text(int id);

    const wchar_t* Find(int id) const;
    size_t Count() const noexcept { return m_texts.size(); }

    // Adds the "s" elements of a string-table XML text (root "string").
    // Entries already in the table stay unless an element replaces them.
    // False for a parse error or another root.
    bool LoadXml(const std::string& utf8);

private:
    std::unordered_map<int, CString> m_texts;
};

// Fills the process-wide table from XML resource 102.
bool LoadStringTable();
