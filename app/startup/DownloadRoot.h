// What may be stored as the download root ([DownLoad] Path): a text that
// the next start reads back exactly and can use as it stands.
#pragma once

#include "base/RefString.h"

enum class DownloadRootProblem {
    None,
    // Not a full path on a drive of this computer ("D:\..."): relative,
    // blank, a network share or a device.
    NotAbsoluteLocal,
    // A character no folder name can hold.
    BadCharacter,
    // A character outside the ANSI code page the settings are stored in.
    NotStorable,
    // Longer than the settings reader takes in.
    TooLong,
    // A part that Windows takes for a device (con, nul, com1, clock$...),
    // whatever its extension.
    DeviceName,
    // A part that ends with a blank or a full stop: Windows drops those, so
    // the folder made would be another one than the text names.
    TrailingBlankOrDot,
    // The drive does not exist, or is not a fixed disk of this computer.
    NotFixedDrive,
    // The path, or a folder on its way, is an existing file.
    ThroughFile,
};

// Why text cannot be the download root, looking at the text alone, or None.
DownloadRootProblem CheckDownloadRootText(const CString& text);

// The same, and on the disk: the drive is a fixed disk of this computer and
// no existing part of the path is a file.
DownloadRootProblem CheckDownloadRoot(const CString& text);
