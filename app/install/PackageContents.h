// What a downloaded package holds, read from its directory before it is
// unpacked.
#pragma once

#include "base/RefString.h"

// False when the package's directory can be read and lists an entry that
// is not inside the top folder named after the item id ("<id>/..." or the
// folder "<id>/" itself). A directory that cannot be read is left to the
// extractor, which reports the damage itself.
bool PackageStaysInItsFolder(const CString& package, const CString& id);

// One stored entry name (the bytes as the archive holds them): true when it
// lies inside the top folder "<id>". Leading "./" parts are skipped as the
// extractor skips them; any other name, ".." or a device included, is
// refused by the extractor anyway.
bool EntryIsInsideFolder(const char* name, size_t length, const CString& id);
