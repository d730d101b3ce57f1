#include "app/dialogs/FolderMerge.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>

#include "base/Handle.h"

namespace {

CString WithSlash(const CString& path)
{
    if (!path.IsEmpty() && path[path.GetLength() - 1] == L'\\')
        return path;
    return path + L"\\";
}

CString WithoutSlash(const CString& path)
{
    if (!path.IsEmpty() && path[path.GetLength() - 1] == L'\\')
        return path.Left(path.GetLength() - 1);
    return path;
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

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool EnsureFolder(const CString& path)
{
    if (IsFolder(path))
        return true;
    const int result = SHCreateDirectoryExW(nullptr, path, nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || IsFolder(path);
}

// The folder part of a relative file path, with its backslash, or "".
CString FolderOf(const CString& relative)
{
    const int slash = relative.ReverseFind(L'\\');
    return slash < 0 ? CString() : relative.Left(slash + 1);
}

// A new folder beside the target for the target's files that the merge
// replaces; false when none could be made.
bool MakeKeptFolder(const CString& to, FolderMergeRecord& record)
{
    const CString base = WithoutSlash(to) + L".kept";
    for (int n = 1; n < 100; ++n) {
        CString name = base;
        if (n > 1)
            name.AppendFormat(L"%d", n);
        if (Exists(name))
            continue;
        if (!CreateDirectoryW(name, nullptr))
            return false;
        record.keptFolder = name + L"\\";
        return true;
    }
    return false;
}

// Moves the target's file item into the kept folder.
bool KeepAside(const CString& to, const CString& item, FolderMergeRecord& record)
{
    if (record.keptFolder.IsEmpty() && !MakeKeptFolder(to, record))
        return false;
    if (!EnsureFolder(record.keptFolder + FolderOf(item)))
        return false;
    if (!MoveFileExW(to + item, record.keptFolder + item, MOVEFILE_COPY_ALLOWED))
        return false;
    record.keptFiles.push_back(item);
    return true;
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
            if (Exists(to + item) && !KeepAside(to, item, record))
                return false;
            // Never over a file: the place is free now.
            ok = MoveFileExW(from + item, to + item, MOVEFILE_COPY_ALLOWED) != 0;
            if (ok)
                record.files.push_back(item);
        }
    } while (ok && FindNextFileW(find.Get(), &found));
    find.Reset();
    if (ok)
        RemoveDirectoryW(from + relative);
    return ok;
}

// Removes folder and the folders under it that hold no file.
void RemoveEmptyFolders(const CString& folder)
{
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(WithSlash(folder) + L"*", &found));
    if (find) {
        do {
            const CString name = found.cFileName;
            if (name != L"." && name != L".." && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                RemoveEmptyFolders(WithSlash(folder) + name);
        } while (FindNextFileW(find.Get(), &found));
    }
    find.Reset();
    RemoveDirectoryW(WithoutSlash(folder));
}

// The files a text names, at most this many of each kind.
constexpr size_t kListedFiles = 10;

// One line per file: where it is and where it belongs.
void ListFiles(CString& text, const std::vector<CString>& files, const CString& at, const CString& belongs)
{
    for (size_t i = 0; i < files.size() && i < kListedFiles; ++i)
        text += L"\n" + at + files[i] + L"（原位置 " + belongs + files[i] + L"）";
    if (files.size() > kListedFiles)
        text.AppendFormat(L"\n……共 %u 个文件", static_cast<unsigned>(files.size()));
}

bool Contains(const std::vector<CString>& list, const CString& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
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

CString LongFullFolderPath(const CString& path)
{
    CString head = WithoutSlash(FullFolderPath(path));
    CString tail;
    // The longest part that exists is spelled out; the rest follows as written.
    while (head.GetLength() > 2) {
        wchar_t longPath[MAX_PATH * 2];
        const DWORD length = GetLongPathNameW(head, longPath, MAX_PATH * 2);
        if (length > 0 && length < MAX_PATH * 2)
            return WithSlash(WithoutSlash(CString(longPath, static_cast<int>(length))) + tail);
        const int slash = head.ReverseFind(L'\\');
        if (slash < 0)
            break;
        tail = head.Mid(slash) + tail;
        head = head.Left(slash);
    }
    return FullFolderPath(path);
}

bool IsSameFolder(const CString& a, const CString& b)
{
    return UpperCase(LongFullFolderPath(a)) == UpperCase(LongFullFolderPath(b));
}

bool IsInsideFolder(const CString& path, const CString& folder)
{
    const CString inner = UpperCase(LongFullFolderPath(path));
    const CString outer = UpperCase(LongFullFolderPath(folder));
    return inner.GetLength() > outer.GetLength() && inner.Left(outer.GetLength()) == outer;
}

bool MergeFolderInto(const CString& to, const CString& from, FolderMergeRecord& record)
{
    if (!IsFolder(from) || !IsFolder(to))
        return false;
    return MergeLevel(WithSlash(to), WithSlash(from), CString(), record);
}

bool FinishFolderMerge(const FolderMergeRecord& record)
{
    if (record.keptFolder.IsEmpty())
        return true;
    bool ok = true;
    for (const CString& file : record.keptFiles) {
        const CString kept = record.keptFolder + file;
        SetFileAttributesW(kept, FILE_ATTRIBUTE_NORMAL);
        ok = DeleteFileW(kept) && ok;
    }
    RemoveEmptyFolders(record.keptFolder);
    return ok;
}

bool UndoFolderMerge(const CString& to, const CString& from, const FolderMergeRecord& record,
                     FolderMergeLeftovers& left)
{
    const CString target = WithSlash(to);
    const CString source = WithSlash(from);
    left = FolderMergeLeftovers();
    for (const CString& folder : record.folders)
        EnsureFolder(source + folder);
    for (const CString& file : record.files) {
        if (!MoveFileExW(target + file, source + file, MOVEFILE_COPY_ALLOWED))
            left.inTarget.push_back(file);
    }
    // A kept file goes back only to a free place.
    for (const CString& file : record.keptFiles) {
        if (Contains(left.inTarget, file) ||
            !MoveFileExW(record.keptFolder + file, target + file, MOVEFILE_COPY_ALLOWED))
            left.kept.push_back(file);
    }
    if (!record.keptFolder.IsEmpty())
        RemoveEmptyFolders(record.keptFolder);
    for (auto it = record.madeFolders.rbegin(); it != record.madeFolders.rend(); ++it)
        RemoveDirectoryW(target + *it);
    return left.IsEmpty();
}

CString FolderMergeLeftoversText(const CString& to, const CString& from, const FolderMergeRecord& record,
                                 const FolderMergeLeftovers& left)
{
    CString text = L"无法把文件全部移回原来的位置，请手动移回以下文件！";
    if (!left.inTarget.empty()) {
        text += L"\n仍在新文件夹中：";
        ListFiles(text, left.inTarget, WithSlash(to), WithSlash(from));
    }
    if (!left.kept.empty()) {
        text += L"\n新文件夹原有的同名文件，保存在 " + record.keptFolder + L" 中：";
        ListFiles(text, left.kept, record.keptFolder, WithSlash(to));
    }
    return text;
}
