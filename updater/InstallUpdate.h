// Putting the unpacked package in place of the installed program, and
// finishing or undoing an update that an earlier run left half done.
#pragma once

#include "updater/UpdateJob.h"

// Where an update stands once a run has done what it could.
enum class UpdateOutcome {
    None,     // nothing was pending
    Finished, // the package is in; the work files are gone
    Undone,   // the old program is back; nothing of the package is left
    Pending,  // a file could not be moved: the work folder's note says what is left
    Refused,  // the package's program files are no programs: nothing changed
};

// Refuses a package whose program files ("Ravonyx.exe", "Dunmere.dll",
// "Uplark.exe") are not whole programs of this machine with a version
// resource: it says so in a message box, deletes the work files and changes
// nothing else. Otherwise waits until the main program and the download
// library can be opened for writing (that is, until the main program has
// ended), backs them up in the work folder, notes the update there, and
// replaces them as one: both go in, or both are put back. Then moves the
// rest of the unpacked tree over the program folder and deletes the work
// files. A file of the tree that cannot be moved leaves the note and the
// rest of the tree for the next start; every file is then its old or its
// new version.
UpdateOutcome InstallUpdate(const CUpdateJob& job);

// What a run that was ended or failed left in the work folder: finishes the
// noted update (or the putting back of the old program files) once the
// program's files are free. None when there is no note; digest is the noted
// package's MD5.
UpdateOutcome ResumeUpdate(const CUpdateJob& job, CString& digest);

// After Finished and the settings value: the backups and the note go.
void ForgetUpdate(const CUpdateJob& job);
