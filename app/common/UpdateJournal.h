// The updater's note of an update that has begun to change the program
// folder. It lies in the work folder ("Temp\") beside the kept package, and
// tells the next start of the updater (which the main program's start makes
// when it finds the note) what is left: to put the rest of the package in,
// or to put the old program files back.
#pragma once

#include "base/RefString.h"

#include <vector>

enum class UpdateStage {
    Install, // the old program files are backed up; the new ones go in
    Undo,    // the old program files go back
};

struct UpdateJournal {
    UpdateStage stage = UpdateStage::Install;
    // The package's MD5 as the update order gave it.
    CString digest;
    // Which of the main program's files the package brings ("Ravonyx.exe",
    // "Dunmere.dll").
    std::vector<CString> programFiles;
};

// workFolder ends with "\".
CString UpdateJournalPath(const CString& workFolder);
// Replaces the note in one step: the old note or the new one is there at
// every moment. False when it could not be written.
bool WriteUpdateJournal(const CString& workFolder, const UpdateJournal& journal);
// False when there is no note (or none that reads as one).
bool ReadUpdateJournal(const CString& workFolder, UpdateJournal& journal);
bool RemoveUpdateJournal(const CString& workFolder);
