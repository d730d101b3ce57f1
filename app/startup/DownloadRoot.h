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
};

// Why text cannot be the download root, or None.
DownloadRootProblem CheckDownloadRoot(const CString& text);
