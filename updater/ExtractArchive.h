// Unpacking the update package.
#pragma once

#include "base/RefString.h"

// Runs the extractor "Extract.dll" beside the updater on the package, without
// a password, into folder (ending with "\"), and waits for it. True when it
// exits with 0; its known failure codes are told in a plain message box.
bool ExtractArchive(const CString& package, const CString& folder);
