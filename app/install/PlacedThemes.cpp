#include "app/install/PlacedThemes.h"

#include "app/common/FileReplace.h"
#include "app/startup/CorvaneModule.h"
#include "base/Handle.h"

#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex g_recordLock;

CString RecordPath()
{
    return _Module.m_strAppDir + L"Data\\PlacedThemes.txt";
}

// False when a record is there but cannot be read: then nothing counts as
// placed, and nothing is written over it.
bool ReadNames(std::vector<CString>& names)
{
    names.clear();
    CFileHandle file(CreateFileW(RecordPath(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    std::string bytes;
    char buffer[4096];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof(buffer), &read, nullptr))
            return false;
        if (read == 0)
            break;
        bytes.append(buffer, read);
    }
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            names.push_back(CString::FromUtf8(line.data(), static_cast<int>(line.size())));
        start = end + 1;
    }
    return true;
}

// Written beside the record and moved over it, so that a reader never sees
// half of it.
bool WriteNames(const std::vector<CString>& names)
{
    std::string bytes;
    for (const CString& name : names)
        bytes += name.ToUtf8() + "\r\n";
    return ReplaceFileBytes(RecordPath(), bytes);
}

bool Contains(const std::vector<CString>& names, const CString& name)
{
    for (const CString& placed : names) {
        if (placed.CompareNoCase(name) == 0)
            return true;
    }
    return false;
}

} // namespace

bool IsPlacedTheme(const CString& name)
{
    std::lock_guard<std::mutex> hold(g_recordLock);
    std::vector<CString> names;
    return !name.IsEmpty() && ReadNames(names) && Contains(names, name);
}

bool RecordPlacedTheme(const CString& name)
{
    std::lock_guard<std::mutex> hold(g_recordLock);
    std::vector<CString> names;
    if (!ReadNames(names))
        return false;
    if (Contains(names, name))
        return true;
    names.push_back(name);
    return WriteNames(names);
}

bool ForgetPlacedTheme(const CString& name)
{
    std::lock_guard<std::mutex> hold(g_recordLock);
    std::vector<CString> names;
    if (!ReadNames(names))
        return false;
    std::vector<CString> kept;
    for (const CString& placed : names) {
        if (placed.CompareNoCase(name) != 0)
            kept.push_back(placed);
    }
    return kept.size() == names.size() || WriteNames(kept);
}
