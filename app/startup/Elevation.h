// Elevation: on Windows Vista and later a process below the high integrity
// level starts itself again through the "runas" verb and ends.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// True on Windows 6.0 and later when the token's integrity level is below
// SECURITY_MANDATORY_HIGH_RID.
bool NeedsElevation();

// The decision itself: the Windows major version, whether the token's
// integrity label was read, and its RID.
bool NeedsElevationFor(DWORD majorVersion, bool labelRead, DWORD integrityRid);

// Starts the program again through "runas" with the original command line,
// so that "-autorun" and a request reach the elevated instance. False when
// it could not be started or the user refused.
bool RelaunchElevated(const CString& path, const CString& parameters);
