// The update order the main program gives the updater on its command line.
#pragma once

#include "base/RefString.h"

// "TAG=Zenro_Run_Update|MD5=" followed by the package's digest: returns the
// digest, or "" when the text is anything else (case counts).
CString ParseUpdateCommandLine(const CString& commandLine);
