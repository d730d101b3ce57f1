#include "app/dialogs/FolderMerge.h"

#include <shlobj.h>
#include <windows.h>

#include "base/Handle.h"

namespace {

CString WithSlash(const CString& path)
{
    if (!path.IsEmpty() && path[path.GetLength() - 1] == L'\\')
        return path;
    return path + L"\\";
}

CString UpperCase(const CString& text)
{
    CString upper = text;
    if (upper.IsEmpty())
        return upper;
    CharUpperBuffW(upper.GetBuffer(upper.GetLength()), static_cast<DWORD>(upper.GetLength()));
    upper.ReleaseBuffer(text.GetLength());
    return upper;
}

bool IsFolder(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool EnsureFolder(const CString& path)
{
    if (IsFolder(path))
        return true;
    const int result = SHCreateDirectoryExW(nullptr, path, nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || IsFolder(path);
}

// Moves the files under from\relative into to\relative; relative is empty
// or ends with a backslash. The emptied folders of from are removed.
bool MergeLevel(const CString& to, const CString& from, const CString& relative, FolderMergeRecord& record)
{
    record.folders.push_back(relative);
    if (!IsFolder(to + relative)) {
        if (!EnsureFolder(to + relative))
            return false;
        record.madeFolders.push_back(relative);
    }
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(from + relative + L"*", &found));
    if (!find)
        return false;
    bool ok = true;
    do {
        const CString name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const CString item = relative + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = MergeLevel(to, from, item + L"\\", record);
        } else {
            if (IsFolder(to + item))
                return false; // a folder of the target stands where the file goes
            SetFileAttributesW(to + item, FILE_ATTRIBUTE_NORMAL);
            ok = MoveFileExW(from + item, to + item, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
            if (ok)
                record.files.push_back(item);
        }
    } while (ok && FindNextFileW(find.Get(), &found));
    find.Reset();
    if (ok)
        RemoveDirectoryW(from + relative);
    return ok;
}

} // namespace

CString FullFolderPath(const CString& path)
{
    wchar_t full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameW(path, MAX_PATH * 2, full, nullptr);
    if (length == 0 || length >= MAX_PATH * 2)
        return WithSlash(path);
    return WithSlash(CString(full, static_cast<int>(length)));
}

bool IsSameFolder(const CString& a, const CString& b)
{
    return UpperCase(FullFolderPath(a)) == UpperCase(FullFolderPath(b));
}

bool IsInsideFolder(const CString& path, const CString& folder)
{
    const CString inner = UpperCase(FullFolderPath(path));
    const CString outer = UpperCase(FullFolderPath(folder));
    return inner.GetLength() > outer.GetLength() && inner.Left(outer.GetLength()) == outer;
}

bool MergeFolderInto(const CString& to, const CString& from, FolderMergeRecord& record)
{
    if (!IsFolder(from) || !IsFolder(to))
        return false;
    return MergeLevel(WithSlash(to), WithSlash(from), CString(), record);
}

bool UndoFolderMerge(const CString& to, const CString& from, const FolderMergeRecord& record)
{
    const CString target = WithSlash(to);
    const CString source = WithSlash(from);
    bool ok = true;
    for (const CString& folder : record.folders)
        ok = EnsureFolder(source + folder) && ok;
    for (const CString& file : record.files)
        ok = MoveFileExW(target + file, source + file, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) &&
             ok;
    for (auto it = record.madeFolders.rbegin(); it != record.madeFolders.rend(); ++it)
        RemoveDirectoryW(target + *it);
    return ok;
}
