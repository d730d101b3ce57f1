#include "app/dialogs/FolderIdentity.h"

#include <windows.h>

#include "base/Handle.h"

namespace {

CString UpperCase(const CString& text)
{
    CString upper = text;
    if (upper.IsEmpty())
        return upper;
    CharUpperBuffW(upper.GetBuffer(upper.GetLength()), static_cast<DWORD>(upper.GetLength()));
    upper.ReleaseBuffer(text.GetLength());
    return upper;
}

// What a folder is on the disk: its volume and its index there.
struct FolderId {
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;
    bool operator==(const FolderId& other) const
    {
        return volume == other.volume && high == other.high && low == other.low;
    }
};

bool IdentifyFolder(const CString& path, FolderId& id)
{
    // A drive's root needs its backslash; any other folder opens either way.
    CString name = WithoutSlash(path);
    if (name.GetLength() == 2 && name[1] == L':')
        name += L'\\';
    CFileHandle folder(CreateFileW(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder)
        return false;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(folder, &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    id.volume = info.dwVolumeSerialNumber;
    id.high = info.nFileIndexHigh;
    id.low = info.nFileIndexLow;
    return true;
}

// The absolute form with every existing folder in its long name, with a
// trailing backslash; the part that does not exist stays as written.
CString LongFullFolderPath(const CString& path)
{
    CString head = WithoutSlash(FullFolderPath(path));
    CString tail;
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

bool IsSameText(const CString& a, const CString& b)
{
    return UpperCase(LongFullFolderPath(a)) == UpperCase(LongFullFolderPath(b));
}

} // namespace

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
    FolderId idA;
    FolderId idB;
    const bool hasA = IdentifyFolder(a, idA);
    const bool hasB = IdentifyFolder(b, idB);
    if (hasA && hasB)
        return idA == idB;
    // One that exists is never one that does not.
    if (hasA || hasB)
        return false;
    return IsSameText(a, b);
}

bool IsInsideFolder(const CString& path, const CString& folder)
{
    FolderId outer;
    const bool known = IdentifyFolder(folder, outer);
    const CString outerText = UpperCase(LongFullFolderPath(folder));
    // Each folder above path in turn, up to the drive's root.
    CString head = WithoutSlash(FullFolderPath(path));
    for (int slash = head.ReverseFind(L'\\'); slash >= 2; slash = head.ReverseFind(L'\\')) {
        head = head.Left(slash);
        FolderId id;
        if (known && IdentifyFolder(head, id)) {
            if (id == outer)
                return true;
        } else if (!known && UpperCase(LongFullFolderPath(head)) == outerText) {
            return true;
        }
    }
    return false;
}
