// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes.
#pragma once

#include "base/RefString.h"

#include <string>

class CTempFolder {
public:
    CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    ~CTempFolder();

    // The folder with a trailing backslash.
    const CString& Path() const noexcept { return m_path; }
    CString operator/(const wchar_t* name) const { return m_path + name; }

private:
    CString m_path;
};

// Whole-file helpers for fixtures.
void WriteFileBytes(const CString& path, const std::string& bytes);
std::string ReadFileBytes(const CString& path);
bool FileExists(const CString& path);
std::wstring Wide(const CString& text);
