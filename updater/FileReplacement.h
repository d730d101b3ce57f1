// Replacing files of an installed program so that at every moment the old or
// the new file is there, and waiting until a running program lets go of its
// files.
#pragma once

#include "base/RefString.h"

// The same path in the form that the file functions take beyond MAX_PATH
// ("\\?\C:\..." or "\\?\UNC\server\..."); other paths come back unchanged.
CString LongPathForm(const CString& path);

enum class FileRelease {
    Free,   // the file can be opened for reading and writing
    Absent, // there is no such file (any more)
    Failed, // it cannot be opened for another reason than a lock
};

// Waits until the file can be opened for reading and writing. Only a sharing
// or lock violation is waited out, without limit, looking again every
// pollMs; the file's read-only attribute does not count as a lock.
FileRelease WaitForFileRelease(const CString& path, unsigned long pollMs);

// Puts source in the place of target so that at every moment the old or the
// new file is there: by one rename over the old file where the system allows
// it, else by moving the old file aside (next to itself), the new one in, and
// the old one back when the new one cannot follow; the old file is deleted on
// success. False when the target could not be replaced: it is then as it
// was, and the source stays where it was.
bool ReplaceFileKeepingOld(const CString& source, const CString& target);
// The same, with the old file moved aside to the given path (on the same
// volume), where a start after a kill looks for it; whatever lay there goes
// first. An old file still in use stays there.
bool ReplaceFileKeepingOld(const CString& source, const CString& target, const CString& aside);
