// Fetching skin resources (XML texts, PNG images) by id and type, from a
// skin folder on disk when one is set, else from the program's own image.
#pragma once

#include <windows.h>

#include <string>

#include "base/RefString.h"

// Where skin resources may come from besides the program's own image. Both
// fields are empty unless someone sets them.
class SkResourceFolder {
public:
    static SkResourceFolder& Instance();

    const CString& SkinFolder() const noexcept { return m_skinFolder; }
    void SetSkinFolder(const CString& folder) { m_skinFolder = folder; }

    // Consulted by the bitmap loader only.
    HMODULE ResourceModule() const noexcept { return m_resourceModule; }
    void SetResourceModule(HMODULE module) noexcept { m_resourceModule = module; }

private:
    SkResourceFolder() = default;

    CString m_skinFolder;
    HMODULE m_resourceModule = nullptr;
};

// The whole content of resource id of the given type ("xml", "png"): the
// file "<skin folder>\<id>.<type>" when the folder is set and the file is
// readable and not empty, else the embedded resource. bytes holds exactly the
// content (std::string keeps a NUL after it). False, with bytes empty, when
// neither exists.
bool LoadResourceData(UINT id, const wchar_t* type, std::string& bytes);

// Copies one found resource of the program's own image into bytes.
bool LoadModuleResource(HRSRC resource, std::string& bytes);
