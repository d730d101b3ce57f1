// Moving the unpacked package over the program folder.
#pragma once

#include "base/RefString.h"

// Moves every file of the source tree to the same place under target, making
// folders as needed; folders whose names begin with "." stay behind. Each file
// replaces its old version so that one of the two is always there. Stops at
// the first file or folder that cannot be moved and returns false. Both
// folders end with "\"; paths of any length are taken.
bool MoveDirectoryTree(const CString& source, const CString& target);
