#include "updater/FileReplacement.h"

#include "app/common/FileUtils.h"
#include "base/Handle.h"

namespace {

bool IsMissing(DWORD error) noexcept
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Opens the file as the main program's files must be openable before they are
// replaced; the error when it cannot.
DWORD TryOpenForWriting(const CString& longPath)
{
    CFileHandle file(CreateFileW(longPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file ? ERROR_SUCCESS : GetLastError();
}

// A read-only file refuses to be opened for writing whoever holds it. Its
// attribute is lifted for the one look and put back at once.
DWORD TryOpenReadOnlyForWriting(const CString& longPath, DWORD attributes)
{
    if (!SetFileAttributesW(longPath, attributes & ~FILE_ATTRIBUTE_READONLY))
        return GetLastError();
    const DWORD error = TryOpenForWriting(longPath);
    SetFileAttributesW(longPath, attributes);
    return error;
}

// A name next to target that nothing uses yet; "" when none can be found.
CString FreeAsideName(const CString& target)
{
    for (int n = 0; n < 1000; ++n) {
        CString aside = target + L".uplark-old";
        if (n > 0)
            aside.AppendFormat(L"%d", n);
        if (GetFileAttributesW(LongPathForm(aside)) == INVALID_FILE_ATTRIBUTES)
            return IsMissing(GetLastError()) ? aside : CString();
    }
    return CString();
}

void RemoveAside(const CString& aside)
{
    const CString longAside = LongPathForm(aside);
    const DWORD attributes = GetFileAttributesW(longAside);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeletePath(aside);
        return;
    }
    SetFileAttributesW(longAside, FILE_ATTRIBUTE_NORMAL);
    // A file still in use (someone started the old program again) goes at
    // the next start of Windows.
    if (!DeleteFileW(longAside))
        MoveFileExW(longAside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// One rename over the old file, so that there is no moment without either;
// the old file's attributes are as they were when it fails.
bool ReplaceInOneStep(const CString& longSource, const CString& longTarget, DWORD attributes)
{
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !SetFileAttributesW(longTarget, attributes & ~FILE_ATTRIBUTE_READONLY))
        return false;
    // Without MOVEFILE_COPY_ALLOWED: a copy to another volume is no single
    // step.
    if (MoveFileExW(longSource, longTarget, MOVEFILE_REPLACE_EXISTING))
        return true;
    if (readOnly)
        SetFileAttributesW(longTarget, attributes);
    return false;
}

// What cannot be replaced in one step (a running program's file can still
// be renamed) is moved aside first and back if the new one does not follow.
bool ReplaceByMovingAside(const CString& source, const CString& target, const CString& aside)
{
    const CString longTarget = LongPathForm(target);
    if (!MoveFileExW(longTarget, LongPathForm(aside), 0))
        return false;
    if (!MoveFileExW(LongPathForm(source), longTarget, MOVEFILE_COPY_ALLOWED)) {
        // Whatever a failed move left at the target gives way to the old file.
        MoveFileExW(LongPathForm(aside), longTarget, MOVEFILE_REPLACE_EXISTING);
        return false;
    }
    return true;
}

enum class Direct {
    Done,       // the source is in
    Failed,     // the target could not be replaced
    NeedsAside, // the old file must go aside first
};

// The source goes in at once where it can: to an absent target, or in one
// rename over the old file.
Direct ReplaceDirectly(const CString& source, const CString& target)
{
    const CString longSource = LongPathForm(source);
    const CString longTarget = LongPathForm(target);
    const DWORD attributes = GetFileAttributesW(longTarget);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!IsMissing(GetLastError()))
            return Direct::Failed;
        return MoveFileExW(longSource, longTarget, MOVEFILE_COPY_ALLOWED) ? Direct::Done : Direct::Failed;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && ReplaceInOneStep(longSource, longTarget, attributes))
        return Direct::Done;
    return Direct::NeedsAside;
}

} // namespace

CString LongPathForm(const CString& path)
{
    if (path.GetLength() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        if (path.GetLength() >= 4 && (path[2] == L'?' || path[2] == L'.') && path[3] == L'\\')
            return path;
        return L"\\\\?\\UNC\\" + path.Mid(2);
    }
    if (path.GetLength() >= 3 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    return path;
}

FileRelease WaitForFileRelease(const CString& path, unsigned long pollMs)
{
    const CString longPath = LongPathForm(path);
    for (;;) {
        const DWORD attributes = GetFileAttributesW(longPath);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return IsMissing(GetLastError()) ? FileRelease::Absent : FileRelease::Failed;
        DWORD error = TryOpenForWriting(longPath);
        if (error == ERROR_ACCESS_DENIED && (attributes & FILE_ATTRIBUTE_READONLY))
            error = TryOpenReadOnlyForWriting(longPath, attributes);
        if (error == ERROR_SUCCESS)
            return FileRelease::Free;
        if (IsMissing(error))
            return FileRelease::Absent;
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
            return FileRelease::Failed;
        Sleep(pollMs);
    }
}

bool ReplaceFileKeepingOld(const CString& source, const CString& target)
{
    const Direct direct = ReplaceDirectly(source, target);
    if (direct != Direct::NeedsAside)
        return direct == Direct::Done;
    const CString aside = FreeAsideName(target);
    if (aside.IsEmpty() || !ReplaceByMovingAside(source, target, aside))
        return false;
    RemoveAside(aside);
    return true;
}

bool ReplaceFileKeepingOld(const CString& source, const CString& target, const CString& aside)
{
    const Direct direct = ReplaceDirectly(source, target);
    if (direct != Direct::NeedsAside)
        return direct == Direct::Done;
    const CString longAside = LongPathForm(aside);
    if (GetFileAttributesW(longAside) != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(longAside, FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(longAside))
            return false;
    }
    if (!ReplaceByMovingAside(source, target, aside))
        return false;
    // The place is known: the next swap clears what is still in use now.
    SetFileAttributesW(longAside, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(longAside);
    return true;
}
