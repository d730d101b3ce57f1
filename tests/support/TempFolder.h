// Files for tests: a fresh temporary folder, whole-file reads and writes,
// and test contents.
#pragma once

#include "base/RefString.h"

#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes.

class CTempFolder {
public:
    CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    ~CTempFolder();

    // The folder with a trailing backslash.
    const CString& Path() const noexcept { return m_path; }
    // Without the trailing backslash, as a skin folder is given.
    CString FolderPath() const { return m_path.Left(m_path.GetLength() - 1); }
    CString operator/(const wchar_t* name) const { return m_path + name; }
    // Names of the files directly in it, sorted.
    std::vector<std::string> Files() const;

private:
    CString m_path;
};

// Whole-file helpers for fixtures; a write that fails throws.
void WriteFileBytes(const CString& path, const std::string& bytes);
std::string ReadFileBytes(const CString& path);
bool FileExists(const CString& path);
// The lines of a file (none when it is missing), without their line breaks.
std::vector<std::string> Lines(const CString& path);
// Creates every folder on the way to the file.
void MakeFolderFor(const CString& filePath);
std::wstring Wide(const CString& text);
// n bytes that differ from position to position and from seed to seed.
std::string TestBytes(size_t n, unsigned seed);
