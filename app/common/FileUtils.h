// File and folder helpers shared across the program (and compiled into the
// updater).
#pragma once

#include "base/RefString.h"

// Deletes a file or a whole folder tree, silently and for good (not to the
// recycle bin). One trailing backslash is ignored.
bool DeletePath(const CString& path);

// Moves a file or folder tree from one path to another, creating folders as
// needed, asking nothing. Note the order: target first.
bool MoveFolder(const CString& to, const CString& from);

// True when the path names an existing folder (a trailing backslash does
// not).
bool DirectoryExists(const CString& path);

// The path up to and including its last backslash; "" when it has none, or
// when that backslash is its first character.
CString ParentDirectory(const CString& path);
