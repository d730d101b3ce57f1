// Extraction of a .zip archive with full paths into a folder.
#pragma once

#include "tools/extract/CommandLine.h"
#include "tools/extract/ExitCode.h"

// Checks every entry first and writes nothing when one would land outside
// the target folder or has a name Windows cannot keep, when two entries name
// one path (also in another letter case), when a path would be a file and a
// folder at once (in the archive, or against the target) or too long for
// Windows (a file's path of MAX_PATH or more, a folder's without room for an
// 8.3 name), or when the archive holds more than 10,000 entries or unpacks to
// more than 64 times its size or 2 GiB; then extracts every entry, creating
// folders and overwriting files.
ExitCode ExtractArchive(const ExtractCommand& command);
