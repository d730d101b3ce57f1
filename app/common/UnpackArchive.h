// Unpacking a package with the outside extractor "Extract.dll".
#pragma once

#include "base/RefString.h"

// How long an extractor may run before it is given up on: far beyond what
// any package takes, short of forever.
constexpr DWORD kExtractorTimeLimitMs = 10 * 60 * 1000;

// Runs the extractor hidden on the archive, unpacking with full paths into
// the folder (which ends with a backslash), and waits for it. True when it
// exits with 0; for its known failure codes the user is told in a message
// box first. A password, when given, is passed on.
//
// While it waits, the calling thread still answers the messages that other
// threads send to its windows (the download library sends to the main
// window). An extractor still running after the time limit is ended, and
// the result is false without a message.
bool UnpackArchive(const CString& archive, const CString& folder, const CString& password,
                   DWORD timeLimitMs = kExtractorTimeLimitMs);
