#include "tests/download/support/Files.h"

#include "base/Handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>

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

std::string ReadFileBytes(const CString& path)
{
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    if (!file)
        return bytes;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    return bytes;
}

void WriteFileBytes(const CString& path, const std::string& bytes)
{
    CFileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file.IsValid()) << "cannot write " << path.ToUtf8();
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

bool FileExists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

void MakeFolderFor(const CString& filePath)
{
    for (int i = 3; (i = filePath.Find(L'\\', i)) > 0; ++i)
        CreateDirectoryW(filePath.Left(i), nullptr);
}

CTempFolder::CTempFolder()
{
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_path.Format(L"%sdunmere-test-%lu-%d\\", temp, GetCurrentProcessId(), ++counter);
    CreateDirectoryW(m_path, nullptr);
}

CTempFolder::~CTempFolder()
{
    for (const std::string& name : Files())
        DeleteFileW(m_path + CString::FromUtf8(name.c_str()));
    RemoveDirectoryW(m_path.Left(m_path.GetLength() - 1));
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
