// The part files of a download: one per byte range, named after the target
// with "_" and the part's index, holding the bytes received for that range so
// far. Merging them writes the target.
#pragma once

#include "base/RefString.h"

#include <cstdint>
#include <vector>

struct PartRange {
    uint32_t start = 0; // first byte
    uint32_t end = 0;   // one past the last byte
    CString partFile;

    uint32_t Length() const noexcept { return end - start; }
};

// target + "_" + index.
CString PartFilePath(const CString& target, int index);

// The size of a regular file, or -1 when there is none (a folder counts as none).
long long ExistingFileSize(const CString& path);

// Splits length bytes into count ranges: count - 1 of length / count bytes,
// the last one up to length. Part files are named after the target.
std::vector<PartRange> SplitIntoParts(const CString& target, uint32_t length, int count);

// Deletes the part files of indices 0 to count - 1; true when none is left.
bool DeletePartFiles(const CString& target, int count);

// Writes the target from the part files and deletes them. When a part file
// is missing, cannot be read or is shorter than its range, or the target
// cannot be written, nothing is left behind as the target and every part
// file stays for a later attempt (bytes past a part's range may be cut off).
bool MergeParts(const CString& target, const std::vector<PartRange>& parts);
