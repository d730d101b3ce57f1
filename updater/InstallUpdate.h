// Putting the unpacked package in place of the installed program.
#pragma once

#include "updater/UpdateJob.h"

// Waits until the main program and the download library can be opened for
// writing (that is, until the main program has ended), replaces them, moves
// the rest of the unpacked tree over the program folder and deletes the work
// files. False, with the work files kept, when anything could not be
// replaced; every file is then its old or its new version.
bool InstallUpdate(const CUpdateJob& job);
