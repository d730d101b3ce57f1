#include "app/common/FileVersion.h"

#include <winver.h>

#include <cwchar>
#include <vector>

namespace {

constexpr size_t kVersionCapacity = 260;

struct LanguageAndCodePage {
    WORD language;
    WORD codePage;
};

} // namespace

bool QueryProductVersion(const void* versionInfo, wchar_t* out, size_t capacity)
{
    void* translations = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueW(versionInfo, L"\\VarFileInfo\\Translation", &translations, &bytes) ||
        bytes < sizeof(LanguageAndCodePage))
        return false;
    const auto* first = static_cast<const LanguageAndCodePage*>(translations);
    CString query;
    query.Format(L"\\StringFileInfo\\%04x%04x\\%s", first->language, first->codePage, L"ProductVersion");
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(versionInfo, query, &value, &length) || !value || capacity == 0)
        return false;
    const auto* text = static_cast<const wchar_t*>(value);
    size_t count = 0;
    while (count < length && count + 1 < capacity && text[count] != L'\0')
        ++count;
    wmemcpy(out, text, count);
    out[count] = L'\0';
    return true;
}

bool GetFileProductVersion(const CString& path, CString& out)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return false;
    std::vector<BYTE> versionInfo(size);
    if (!GetFileVersionInfoW(path, 0, size, versionInfo.data()))
        return false;
    wchar_t version[kVersionCapacity + 1];
    if (QueryProductVersion(versionInfo.data(), version, kVersionCapacity + 1))
        out = version;
    return true;
}
