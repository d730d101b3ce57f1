// Unpacking a package with the outside extractor "Extract.dll".
#pragma once

#include "base/RefString.h"

// Runs the extractor hidden on the archive, unpacking with full paths into
// the folder (which ends with a backslash), and waits for it. True when it
// exits with 0; for its known failure codes the user is told in a message
// box first. A password, when given, is passed on.
bool UnpackArchive(const CString& archive, const CString& folder, const CString& password);
