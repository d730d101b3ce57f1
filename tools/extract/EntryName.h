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
// (absolute, with a drive letter or stream name, climbing out with ".."),
// that names no file at all, or one of whose parts is not a plain file name
// that Windows keeps as written (a device such as "CON", "lpt1.txt" or
// "COM¹", a trailing dot or blank, a wildcard or other refused character, more
// than 255 characters).
std::optional<EntryPath> MakeEntryPath(const CString& name);
