#include "app/install/PlacedThemes.h"

#include "app/common/FileReplace.h"
#include "app/startup/CorvaneModule.h"
#include "base/Handle.h"

#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex g_recordLock;

// The theme files and visual-style folders of the theme folder that come
// with Windows XP to 10 and Wine, by the name before ".theme".
const wchar_t* const kWindowsThemes[] = {
    // XP and its Media Center, Tablet and Embedded editions
    L"Luna", L"Windows Classic", L"Royale", L"Royale Noir", L"Embedded", L"Zune",
    // Vista to 10, their Basic, Classic and high-contrast themes
    L"Aero", L"AeroLite", L"Basic", L"Classic", L"hc1", L"hc2", L"hcblack", L"hcwhite",
    // the picture themes of 7 and 10
    L"architecture", L"characters", L"landscapes", L"nature", L"scenes", L"dark", L"spotlight", L"theme1",
    L"theme2", L"themeA", L"themeB", L"themeC", L"themeD", L"Windows",
    // Wine's own
    L"light"};

// False when a record is there but cannot be read: then nothing counts as
// placed, and nothing is written over it.
bool ReadNames(std::vector<CString>& names)
{
    names.clear();
    CFileHandle file(CreateFileW(PlacedThemesPath(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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
    return ReplaceFileBytes(PlacedThemesPath(), bytes);
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

CString PlacedThemesPath()
{
    return _Module.m_strAppDir + L"Data\\PlacedThemes.txt";
}

bool IsWindowsThemeName(const CString& name)
{
    for (const wchar_t* windows : kWindowsThemes) {
        if (name.CompareNoCase(windows) == 0)
            return true;
    }
    return false;
}

bool IsPlacedTheme(const CString& name)
{
    if (name.IsEmpty() || IsWindowsThemeName(name))
        return false;
    std::lock_guard<std::mutex> hold(g_recordLock);
    std::vector<CString> names;
    return ReadNames(names) && Contains(names, name);
}

bool RecordPlacedTheme(const CString& name)
{
    if (IsWindowsThemeName(name))
        return false;
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
