// Files for the download tests: contents, temporary folders, part files.
#pragma once

#include "base/RefString.h"

#include <string>
#include <vector>

// n bytes that differ from position to position and from seed to seed.
std::string TestBytes(size_t n, unsigned seed);

std::string ReadFileBytes(const CString& path);
void WriteFileBytes(const CString& path, const std::string& bytes);
bool FileExists(const CString& path);
void MakeFolderFor(const CString& filePath);

// A new empty folder under the temporary folder, removed with its files.
class CTempFolder {
public:
    CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    ~CTempFolder();

    const CString& Path() const { return m_path; } // ends with '\'
    CString operator/(const wchar_t* name) const { return m_path + name; }
    // Names of the files in it, sorted.
    std::vector<std::string> Files() const;

private:
    CString m_path;
};
