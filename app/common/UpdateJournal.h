// The updater's note of an update that has begun to change the program
// folder. It lies in the work folder ("Temp\") beside the kept package, and
// tells the next start of the updater (which the main program's start makes
// when it finds the note) what is left: to put the rest of the package in,
// or to put the old program files back. Both programs read it, so the names
// of the work folder that both look at are here too.
#pragma once

#include "base/RefString.h"

#include <vector>

// The updater's single-instance mutex: held while an updater runs.
constexpr wchar_t kUpdaterMutexName[] = L"ZENROVAX_UPDATE_SOFT";
// Below the work folder: the old program files while the new ones go in.
constexpr wchar_t kUpdateBackupFolder[] = L"TessalyOld\\";
// Below the work folder: where a swap keeps the old "Uplark.exe" while the
// new one goes in, and where the program's start looks for it.
constexpr wchar_t kUpdaterAsideName[] = L"Uplark.exe.old";

// The main program's files, the only ones a note may name.
constexpr const wchar_t* kNotedProgramFiles[] = {L"Ravonyx.exe", L"Dunmere.dll"};

enum class UpdateStage {
    Install, // the old program files are backed up; the new ones go in
    Undo,    // the old program files go back
};

// The old version of a program file, kept while the new one goes in.
struct UpdateBackup {
    CString name; // one of kNotedProgramFiles
    CString md5;  // of the old file, as it was backed up
};

struct UpdateJournal {
    UpdateStage stage = UpdateStage::Install;
    // The package's MD5 as the update order gave it: 32 lower-case hex digits.
    CString digest;
    // Which of the main program's files the package brings.
    std::vector<CString> programFiles;
    // Which of them had an old version, and which: an undo puts back only
    // these, and only a backup of that very version.
    std::vector<UpdateBackup> backups;
    // False for a note of an older updater, which did not list its backups.
    bool backupsListed = true;

    // The noted backup of name; nullptr when it had none.
    const UpdateBackup* BackupOf(const CString& name) const;
};

enum class JournalRead {
    None,       // there is no note
    Read,       // the note was read whole
    Unreadable, // there is a file, but no whole note of ours: trust nothing of it
};

// workFolder ends with "\".
CString UpdateJournalPath(const CString& workFolder);
// Replaces the note in one step: the old note or the new one is there at
// every moment. False when it could not be written.
bool WriteUpdateJournal(const CString& workFolder, const UpdateJournal& journal);
// Reads the note. Unreadable unless every line is one of ours, the digest is
// an MD5, every name is one of the main program's files (each once) and the
// text is whole.
JournalRead ReadUpdateJournal(const CString& workFolder, UpdateJournal& journal);
bool RemoveUpdateJournal(const CString& workFolder);
// Moves an unreadable note out of the way under a name nothing reads, so
// that it is neither acted on nor lost.
bool SetUpdateJournalAside(const CString& workFolder);
