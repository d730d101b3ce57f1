#include "updater/MoveDirectoryTree.h"

#include "updater/FileReplacement.h"

#include "base/Handle.h"

#include <vector>

namespace {

struct Entry {
    CString name;
    bool folder;
};

// The folder's entries in the order the system gives them, read before
// anything is moved out of it. False when it cannot be listed.
bool ListFolder(const CString& folder, std::vector<Entry>& entries)
{
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(LongPathForm(folder + L"*.*"), &found));
    if (!find)
        return false;
    do {
        entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(find, &found));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

// A folder at path: there already, or made now.
bool EnsureFolder(const CString& path)
{
    const CString longPath = LongPathForm(path);
    const DWORD attributes = GetFileAttributesW(longPath);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return CreateDirectoryW(longPath, nullptr) != 0;
}

} // namespace

bool MoveDirectoryTree(const CString& source, const CString& target)
{
    std::vector<Entry> entries;
    if (!ListFolder(source, entries))
        return false;
    for (const Entry& entry : entries) {
        if (entry.folder) {
            // Also "." and "..".
            if (entry.name[0] == L'.')
                continue;
            if (!EnsureFolder(target + entry.name) ||
                !MoveDirectoryTree(source + entry.name + L"\\", target + entry.name + L"\\"))
                return false;
        } else if (!ReplaceFileKeepingOld(source + entry.name, target + entry.name)) {
            return false;
        }
    }
    return true;
}
