// Stored entry names of a zip archive and the paths they are written to.
#pragma once

#include "base/RefString.h"

#include <optional>

// Where an entry goes, relative to the target folder.
struct EntryPath {
    CString relative; // folders joined by "\", no leading or trailing "\"
    bool isFolder = false;
};

// The stored name as text: UTF-8 when the entry says so (general purpose
// bit 11), else the Chinese code page 936 that the archivers of our users
// write.
CString DecodeEntryName(const char* bytes, int length, bool utf8);

// The path below the target folder; nothing for a name that would leave it
// (absolute, with a drive letter or stream name, climbing out with "..") or
// that names no file at all.
std::optional<EntryPath> MakeEntryPath(const CString& name);
