#include "app/common/FileReplace.h"

#include "base/Handle.h"

#include <windows.h>

#include <io.h>
#include <share.h>

namespace {

// Everything written so far reaches the disk; the stream stays open.
bool FlushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0 || std::ferror(file))
        return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != FALSE;
}

// False when the stream cannot be written, flushed or closed.
bool WriteAndClose(std::FILE* file, const std::function<bool(std::FILE*)>& write)
{
    bool written = write(file);
    written = FlushToDisk(file) && written;
    return std::fclose(file) == 0 && written;
}

// One rename puts the new file in place: the old one stays whole until then.
// A target open without delete sharing refuses it; a read-only one is refused
// here, as Windows itself does (not every implementation of the rename does).
bool PutInPlace(const CString& temporary, const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (!readOnly && MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary);
    return false;
}

// A read-only temporary file is one a kill left: a rewrite makes its own
// writable. Made writable again, it is overwritten like any other leftover.
void ClearReadOnlyLeftover(const CString& temporary)
{
    const DWORD attributes = GetFileAttributesW(temporary);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(temporary, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

bool PathExists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// Renamed to a free name beside it, so that its own name is free at once,
// even while someone still holds it open.
bool MoveAside(const CString& path, CString& aside)
{
    for (int n = 0; n < 100; ++n) {
        aside.Format(L"%s.%d", static_cast<const wchar_t*>(path), n);
        if (!PathExists(aside))
            return MoveFileExW(path, aside, 0) != FALSE;
    }
    return false;
}

} // namespace

CString ReplacementFilePath(const CString& path)
{
    return path + L".new";
}

bool ClearStaleReplacement(const CString& path)
{
    return ClearLeftover(ReplacementFilePath(path));
}

bool ClearLeftover(const CString& temporary)
{
    const DWORD attributes = GetFileAttributesW(temporary);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    CString aside;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // Only the link goes, never what it leads to.
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveDirectoryW(temporary);
        else
            DeleteFileW(temporary);
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // No rewrite makes a folder: what is in one is not ours to delete,
        // so a folder that is not empty is only moved out of the way.
        if (!RemoveDirectoryW(temporary))
            MoveAside(temporary, aside);
    } else {
        ClearReadOnlyLeftover(temporary);
        if (MoveAside(temporary, aside))
            DeleteFileW(aside);
    }
    return !PathExists(temporary);
}

bool CanReplaceFile(const CString& path)
{
    // Someone who holds the file and keeps deleters out keeps the new one
    // out too.
    if (PathExists(path)) {
        const CFileHandle target(CreateFileW(path, DELETE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!target)
            return false;
    }
    // Looked at, not opened: a rewrite going on meanwhile on another thread
    // keeps its temporary file to itself. No rewrite makes a folder; a file
    // there, read-only or not, is written over.
    const DWORD attributes = GetFileAttributesW(ReplacementFilePath(path));
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReplaceFileContents(const CString& path, const std::function<bool(std::FILE*)>& write)
{
    const CString temporary = ReplacementFilePath(path);
    ClearReadOnlyLeftover(temporary);
    // Text mode, as the files have always been written. Nobody else may open
    // the temporary file while it is written; one held by another rewrite
    // stays that rewrite's own.
    std::FILE* file = _wfsopen(temporary, L"w", _SH_DENYRW);
    if (!file)
        return false;
    if (!WriteAndClose(file, write)) {
        DeleteFileW(temporary);
        return false;
    }
    return PutInPlace(temporary, path);
}

bool ReplaceFileBytes(const CString& path, const std::string& bytes)
{
    const CString temporary = ReplacementFilePath(path);
    ClearReadOnlyLeftover(temporary);
    CFileHandle file(
        CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    // One held by another rewrite stays that rewrite's own.
    if (!file)
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size() && FlushFileBuffers(file);
    file.Reset();
    if (!whole) {
        DeleteFileW(temporary);
        return false;
    }
    return PutInPlace(temporary, path);
}
