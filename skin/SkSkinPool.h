// The process-wide skins by name, loaded from XML resource 100 (root
// "skins", one element per skin whose tag is its kind).
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "skin/SkSkinBase.h"

class SkSkinPool {
public:
    SkSkinPool() = default;
    SkSkinPool(const SkSkinPool&) = delete;
    SkSkinPool& operator=(const SkSkinPool&) = delete;
    virtual ~SkSkinPool() = default;

    static SkSkinPool& Instance();

    // Deletes every skin, then creates those of a skins XML text; a later
    // skin with a name already loaded replaces the earlier one. False on a
    // parse error (the pool is then empty).
    bool LoadXml(const std::string& utf8);

    // The skin of exactly that name, owned by the pool, or null.
    CSkSkinBase* Find(const char* name) const;
    size_t Count() const noexcept { return m_skins.size(); }

private:
    std::unordered_map<std::string, std::unique_ptr<CSkSkinBase>> m_skins;
};

// Loads XML resource 100 into the process-wide pool; false when the
// resource is missing (the pool is then untouched) or does not parse.
bool LoadSkins();

// A new skin with its defaults for a kind's tag ("imglst", "imgframe",
// "button", "imghorzex", "gradation", "png"), or null.
std::unique_ptr<CSkSkinBase> CreateSkin(const char* tag);

// Find on the process-wide pool.
CSkSkinBase* FindSkin(const char* name);
