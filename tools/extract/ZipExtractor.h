// Extraction of a .zip archive with full paths into a folder.
#pragma once

#include "tools/extract/CommandLine.h"
#include "tools/extract/ExitCode.h"

// Checks every entry name first and writes nothing when one would land
// outside the target folder; then extracts every entry, creating folders and
// overwriting files.
ExitCode ExtractArchive(const ExtractCommand& command);
