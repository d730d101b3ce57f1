#include "skin/SkResource.h"

#include "base/Handle.h"

SkResourceFolder& SkResourceFolder::Instance()
{
    // Lives until the process ends.
    static SkResourceFolder* folder = new SkResourceFolder();
    return *folder;
}

namespace {

bool ReadWholeFile(const CString& path, std::string& bytes)
{
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart == 0 || size.QuadPart > 0x7FFFFFFF)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
        bytes.clear();
        return false;
    }
    return true;
}

} // namespace

bool LoadResourceData(UINT id, const wchar_t* type, std::string& bytes)
{
    bytes.clear();
    const CString& folder = SkResourceFolder::Instance().SkinFolder();
    if (!folder.IsEmpty()) {
        CString path;
        path.Format(L"%s\\%d.%s", folder.GetString(), id, type);
        if (ReadWholeFile(path, bytes))
            return true;
    }
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    if (!resource)
        return false;
    return LoadModuleResource(resource, bytes);
}

bool LoadModuleResource(HRSRC resource, std::string& bytes)
{
    bytes.clear();
    DWORD size = SizeofResource(nullptr, resource);
    if (size == 0)
        return false;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    if (!loaded)
        return false;
    const void* data = LockResource(loaded);
    if (!data)
        return false;
    bytes.assign(static_cast<const char*>(data), size);
    // Resources of a module are never freed by hand (FreeResource is a no-op).
    return true;
}
