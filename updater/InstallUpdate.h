// Putting the unpacked package in place of the installed program, and
// finishing or undoing an update that an earlier run left half done.
#pragma once

#include "updater/UpdateJob.h"

// Where an update stands once a run has done what it could.
enum class UpdateOutcome {
    None,     // nothing was pending
    Finished, // the package is in, the settings value says so; the work files are gone
    Undone,   // the old program is back; nothing of the package is left
    Pending,  // a step could not be made: the work folder's note says what is left
    Refused,  // the package's program files are no programs: nothing of it went in
};

// Refuses a package whose program files ("Ravonyx.exe", "Dunmere.dll",
// "Uplark.exe") are not whole programs of this machine with a version
// resource: it says so in a message box, deletes the work files and changes
// nothing else. Otherwise waits until the main program and the download
// library can be opened for writing (that is, until the main program has
// ended), backs them up in the work folder, notes the update there, and
// replaces them as one: both go in, or both are put back. Then puts the new
// updater in, moves the rest of the unpacked tree over the program folder
// (leaving out what it holds under "Temp", the updater's own work folder),
// deletes the work files and writes [Update] AutoUpdate = "0". A step that
// cannot be made leaves the note for the next start; every file is then its
// old or its new version.
UpdateOutcome InstallUpdate(const CUpdateJob& job);

// What a run that was ended or failed left in the work folder: finishes the
// noted update (its program files checked again as the first run checked
// them) or the putting back of the old program files, once the program's
// files are free. None when there is no note, or none that can be trusted
// (it is set aside). digest is the noted package's MD5.
UpdateOutcome ResumeUpdate(const CUpdateJob& job, CString& digest);
