// The process-wide styles by name, loaded from XML resource 101 (root
// "style", one "class" element per style). The empty name holds the default
// style, which every unknown name gets.
#pragma once

#include <string>
#include <unordered_map>

#include "skin/SkStyle.h"

class SkStylePool {
public:
    // Holds the default style from the start, so that a lookup never
    // inserts and lookups from several threads only read.
    SkStylePool();
    SkStylePool(const SkStylePool&) = delete;
    SkStylePool& operator=(const SkStylePool&) = delete;
    virtual ~SkStylePool() = default;

    static SkStylePool& Instance();

    // Removes every style, keeps a default one under the empty name, then
    // loads the "class" elements of a styles XML text; a class whose name
    // was loaded before is applied on top of it. False on a parse error.
    bool LoadXml(const std::string& utf8);

    // The style of exactly that name, else the default style. Never fails.
    SkStyle& Find(const char* name);
    size_t Count() const noexcept { return m_styles.size(); }

private:
    std::unordered_map<std::string, SkStyle> m_styles;
};

// Loads XML resource 101 into the process-wide pool; false when the
// resource is missing (the pool is then untouched) or does not parse.
bool LoadStyles();

// Find on the process-wide pool.
SkStyle& FindStyle(const char* name);
