#include "tests/support/TempFolder.h"

#include "base/Handle.h"

#include <algorithm>
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
    // Shared for writing too: tests read files a download is still writing.
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file)
        return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
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

std::vector<std::string> CTempFolder::Files() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    CFindHandle find(FindFirstFileW(m_path + L"*", &data));
    if (!find)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(CString(data.cFileName).ToUtf8());
    } while (FindNextFileW(find, &data));
    std::sort(names.begin(), names.end());
    return names;
}

void MakeFolderFor(const CString& filePath)
{
    for (int i = 3; (i = filePath.Find(L'\\', i)) > 0; ++i)
        CreateDirectoryW(filePath.Left(i), nullptr);
}

std::string TestBytes(size_t n, unsigned seed)
{
    std::string bytes(n, '\0');
    unsigned state = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < n; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 23);
    }
    return bytes;
}

std::vector<std::string> Lines(const CString& path)
{
    std::vector<std::string> lines;
    const std::string text = FileExists(path) ? ReadFileBytes(path) : std::string();
    for (size_t at = 0, next; (next = text.find('\n', at)) != std::string::npos; at = next + 1)
        lines.push_back(text.substr(at, next - at));
    return lines;
}
