// The check a name from the server must pass before it becomes part of a
// path on this machine.
#pragma once

#include "base/RefString.h"

// True when the name is one plain path component: not empty, not "." or
// "..", without "\" "/" ":" "*" "?" '"' "<" ">" "|" or control characters,
// and not ending in "." or a blank (Windows would drop those, and the name
// would then name something else).
bool IsSafeFileName(const CString& name);
