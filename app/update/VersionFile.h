// The version file on the content server: " | "-separated fields, the first
// holding "success", then main_version, dll_version, main_md5 and dll_md5,
// each "name=value", at fixed positions.
#pragma once

#include "base/RefString.h"

// Where the version file lies below the content site's base address.
constexpr wchar_t kVersionFilePath[] = L"version/RODiruder.html";
// The most the check reads of it, in bytes, with room for the NUL.
constexpr unsigned long kVersionFileSize = 4096;

struct VersionFile {
    // The fields as listed; a value is kept only when its field carries the
    // right name at its position, else it stays empty and its flag false.
    bool hasMainVersion = false;
    bool hasDllVersion = false;
    bool hasMainMd5 = false;
    bool hasDllMd5 = false;
    CString mainVersion;
    CString dllVersion;
    CString mainMd5;
    CString dllMd5;
};

// Reads the reply. False when it is not a version file: empty, a first field
// without "success", fewer than five fields, or one of the fields 1 to 4
// without "=".
bool ParseVersionFile(const CString& reply, VersionFile& out);
