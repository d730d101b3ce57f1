#include "app/common/FileReplace.h"

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
    // One rename puts the new file in place: the old one stays whole until
    // then. A target open without delete sharing refuses it; a read-only one
    // is refused here, as Windows itself does (not every implementation of
    // the rename does).
    const DWORD attributes = GetFileAttributesW(path);
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (!readOnly && MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary);
    return false;
}
