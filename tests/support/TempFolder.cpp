#include "TempFolder.h"

#include "base/Handle.h"

#include <stdexcept>

namespace {

void RemoveTree(const CString& folder)
{
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(folder + L"*", &found));
    if (find) {
        do {
            const CString name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const CString path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\");
            } else {
                SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path);
            }
        } while (FindNextFileW(find, &found));
    }
    find.Reset();
    RemoveDirectoryW(folder);
}

} // namespace

CTempFolder::CTempFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    for (;;) {
        m_path.Format(L"%sravonyx-%lu-%ld\\", base, GetCurrentProcessId(), InterlockedIncrement(&counter));
        if (CreateDirectoryW(m_path, nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create a temporary folder");
    }
}

CTempFolder::~CTempFolder()
{
    RemoveTree(m_path);
}

void WriteFileBytes(const CString& path, const std::string& bytes)
{
    CFileHandle file(
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("cannot create a fixture file");
    DWORD written = 0;
    if (!bytes.empty() &&
        (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
         written != bytes.size()))
        throw std::runtime_error("cannot write a fixture file");
}

std::string ReadFileBytes(const CString& path)
{
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    return bytes;
}

bool FileExists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Wide(const CString& text)
{
    return std::wstring(text.GetString(), static_cast<size_t>(text.GetLength()));
}
