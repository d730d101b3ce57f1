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

} // namespace

CString ReplacementFilePath(const CString& path)
{
    return path + L".new";
}

bool ReplaceFileContents(const CString& path, const std::function<bool(std::FILE*)>& write)
{
    const CString temporary = ReplacementFilePath(path);
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
