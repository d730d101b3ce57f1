// Names that come from outside (a server's address, an item's name) and are
// about to become one file or folder name inside one of our folders.
#pragma once

#include "base/RefString.h"

// True when name is a single plain file name: not empty, no path separator,
// drive colon or other character Windows refuses in names, no control
// character, no "..", not ending in "." or a blank, and not a device name
// such as "CON" or "LPT1.txt". Only such a name can never reach outside the
// folder it is joined to.
bool IsSafeFileName(const CString& name);
