// Starting the updater "Uplark.exe", and what the program's start does for an
// update that did not end: an updater left aside by a swap comes back, and
// an update that the updater noted as begun is handed to it again.
#pragma once

#include "base/Handle.h"
#include "base/RefString.h"

// The parameters the updater is started with for the main package's MD5.
CString UpdaterCommandLine(const CString& mainMd5);

// Starts appDir + "Uplark.exe" hidden with the update order for mainMd5, as
// the update check does ("open", no folder of its own). The process, or an
// empty handle when it did not start.
CHandle StartUpdater(const CString& appDir, const CString& mainMd5);

// At the program's start: puts "Temp\Uplark.exe.old" back when "Uplark.exe"
// is missing, and when the work folder holds the updater's note of a begun
// update, starts the updater with that package's order so that it finishes
// or undoes it once the program lets go of its files. Without a note, and
// with no updater running, the backups of a finished update go. The
// updater's process when one was started.
CHandle ResumeUpdateAtStart(const CString& appDir);
