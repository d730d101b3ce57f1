// A folder of its own under the temporary folder, removed with its files.
#pragma once

#include <windows.h>

#include <string>

#include "base/RefString.h"

class TempFolder {
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        m_path.Format(L"%sskintest-%lu-%lu", base, GetCurrentProcessId(), ++s_counter);
        CreateDirectoryW(m_path, nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(m_path + L"\\*", &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW(m_path + L"\\" + found.cFileName);
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(m_path);
    }

    const CString& Path() const { return m_path; }

    void WriteFile(const wchar_t* name, const std::string& bytes) const
    {
        HANDLE file = CreateFileW(m_path + L"\\" + name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (!bytes.empty())
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

private:
    CString m_path;
    static inline unsigned long s_counter = 0;
};
