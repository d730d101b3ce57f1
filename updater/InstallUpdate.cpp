#include "updater/InstallUpdate.h"

#include "updater/FileReplacement.h"
#include "updater/MoveDirectoryTree.h"

#include "app/common/ConfigCodec.h"
#include "app/common/FileUtils.h"
#include "app/common/Md5Checksum.h"
#include "app/common/ProgramImage.h"
#include "app/common/UpdateJournal.h"

#include <vector>

namespace {

const wchar_t kUpdaterName[] = L"Uplark.exe";
// The work folder below the program folder.
const wchar_t kWorkFolderName[] = L"Temp";
// Every file without which the folder holds no working program.
const struct {
    const wchar_t* name;
    ProgramImageKind kind;
} kCheckedFiles[] = {
    {L"Ravonyx.exe", ProgramImageKind::Program},
    {L"Dunmere.dll", ProgramImageKind::Library},
    {L"Uplark.exe", ProgramImageKind::Program},
};
constexpr unsigned long kLookAgainMs = 10000;
const wchar_t kRefusedPackage[] = L"发生严重错误，无法进行解压！";

bool Exists(const CString& path)
{
    return GetFileAttributesW(LongPathForm(path)) != INVALID_FILE_ATTRIBUTES;
}

void DeleteIfThere(const CString& path)
{
    if (Exists(path))
        DeletePath(path);
}

ProgramImageKind KindOf(const CString& name)
{
    for (const auto& file : kCheckedFiles) {
        if (name == file.name)
            return file.kind;
    }
    return ProgramImageKind::Program;
}

// One update of the program folder from the unpacked package: its note, its
// steps and the recovery of a run that was ended, in the order they happen.
//
//   first run:    check the program files, wait for them, back them up, note
//                 "install" with the backups; program files in, the updater
//                 in, the rest of the tree (never the package's own "Temp");
//                 work files go, the settings value, the note goes, the
//                 backups go.
//   a program file that cannot go in: note "undo"; the noted backups go
//                 back; work files go, the note goes, the backups go.
//   next start:   "install": the program files still unpacked are checked
//                 again, and the run goes on from where it stopped;
//                 "undo": the undo again. A note that cannot be trusted is
//                 set aside, and nothing is done because of it.
//
// Nothing that an undo needs is deleted before the note is gone, and an
// undo puts back only the noted backups: a file whose backup is missing is
// left as it is.
class CProgramUpdate {
public:
    explicit CProgramUpdate(const CUpdateJob& job) : m_job(job) {}

    UpdateOutcome Install();
    UpdateOutcome Resume(CString& digest);

private:
    CString Unpacked(const CString& name) const { return m_job.UnpackFolder() + name; }
    CString Installed(const CString& name) const { return m_job.m_strProgramFolder + name; }
    CString BackupFolder() const { return m_job.m_strWorkFolder + kUpdateBackupFolder; }
    CString Backup(const CString& name) const { return BackupFolder() + name; }

    bool ProgramFilesAreWhole() const;
    bool WaitForProgramFiles(const std::vector<CString>& names) const;
    bool BackUpProgramFiles();
    UpdateOutcome PutNewFilesIn();
    UpdateOutcome Finish();
    UpdateOutcome Undo();
    bool PutBackupBack(const CString& name) const;
    CString BackupDigest(const CString& name) const;
    void DeleteWorkFiles() const;

    const CUpdateJob& m_job;
    UpdateJournal m_note;
};

UpdateOutcome CProgramUpdate::Install()
{
    if (!ProgramFilesAreWhole()) {
        MessageBoxW(nullptr, kRefusedPackage, nullptr, MB_OK);
        DeleteWorkFiles();
        return UpdateOutcome::Refused;
    }
    m_note = UpdateJournal();
    m_note.digest = m_job.m_strExpectedMd5;
    for (const wchar_t* name : kNotedProgramFiles) {
        if (Exists(Unpacked(name)))
            m_note.programFiles.push_back(name);
    }
    // Until the note is written the program folder is untouched.
    if (!WaitForProgramFiles(m_note.programFiles) || !BackUpProgramFiles() ||
        !WriteUpdateJournal(m_job.m_strWorkFolder, m_note)) {
        DeleteIfThere(BackupFolder());
        return UpdateOutcome::Pending;
    }
    return PutNewFilesIn();
}

UpdateOutcome CProgramUpdate::Resume(CString& digest)
{
    switch (ReadUpdateJournal(m_job.m_strWorkFolder, m_note)) {
    case JournalRead::None:
        return UpdateOutcome::None;
    case JournalRead::Unreadable:
        SetUpdateJournalAside(m_job.m_strWorkFolder);
        return UpdateOutcome::None;
    case JournalRead::Read:
        break;
    }
    digest = m_note.digest;
    if (m_note.stage == UpdateStage::Undo)
        return Undo();
    // What is still unpacked goes in only as the first run would have let it.
    if (!ProgramFilesAreWhole()) {
        MessageBoxW(nullptr, kRefusedPackage, nullptr, MB_OK);
        const UpdateOutcome undone = Undo();
        return undone == UpdateOutcome::Undone ? UpdateOutcome::Refused : undone;
    }
    return PutNewFilesIn();
}

bool CProgramUpdate::ProgramFilesAreWhole() const
{
    for (const auto& file : kCheckedFiles) {
        const CString path = Unpacked(file.name);
        if (Exists(path) && !IsWholeProgramImage(path, file.kind))
            return false;
    }
    return true;
}

// Both must be free before either changes, so that nothing is replaced
// under a running program. False when one cannot be looked at.
bool CProgramUpdate::WaitForProgramFiles(const std::vector<CString>& names) const
{
    for (const CString& name : names) {
        if (WaitForFileRelease(Installed(name), kLookAgainMs) == FileRelease::Failed)
            return false;
    }
    return true;
}

// A whole copy of each old file, or none: a copy is made under another name,
// renamed once complete and compared with the file it copies. The note
// lists each backup with its digest.
bool CProgramUpdate::BackUpProgramFiles()
{
    DeleteIfThere(BackupFolder());
    if (!CreateDirectoryW(BackupFolder(), nullptr))
        return false;
    for (const CString& name : m_note.programFiles) {
        const CString target = Installed(name);
        // The package brings it where there was none.
        if (!Exists(target))
            continue;
        const CString copy = Backup(name) + L".part";
        if (!CopyFileW(target, copy, FALSE) || !MoveFileExW(copy, Backup(name), MOVEFILE_WRITE_THROUGH))
            return false;
        const CString digest = ComputeFileMd5(Backup(name));
        if (digest.IsEmpty() || digest != ComputeFileMd5(target))
            return false;
        m_note.backups.push_back({name, digest});
    }
    return true;
}

// Goes on from wherever a run of the noted update stopped: a file still in
// the unpacked folder has not gone in yet.
UpdateOutcome CProgramUpdate::PutNewFilesIn()
{
    std::vector<CString> left;
    for (const CString& name : m_note.programFiles) {
        if (Exists(Unpacked(name)))
            left.push_back(name);
    }
    if (!WaitForProgramFiles(left))
        return Undo();
    for (const CString& name : left) {
        if (!ReplaceFileKeepingOld(Unpacked(name), Installed(name)))
            return Undo();
    }
    // The running updater's own file can only be moved aside: it goes where
    // the program's start puts it back from, should this run end before
    // the new one is in.
    if (Exists(Unpacked(kUpdaterName)) &&
        !ReplaceFileKeepingOld(Unpacked(kUpdaterName), Installed(kUpdaterName),
                               m_job.m_strWorkFolder + kUpdaterAsideName))
        return UpdateOutcome::Pending;
    // The work folder holds this update's note and backups: whatever the
    // package brings under that name would take their place, so none of it
    // goes in.
    DeleteIfThere(Unpacked(kWorkFolderName));
    if (Exists(Unpacked(kWorkFolderName)))
        return UpdateOutcome::Pending;
    if (Exists(m_job.UnpackFolder()) && !MoveDirectoryTree(m_job.UnpackFolder(), m_job.m_strProgramFolder))
        return UpdateOutcome::Pending;
    // What is left are the folders whose names begin with ".".
    DeleteWorkFiles();
    return Finish();
}

// The package is in: the settings value says so, then the note goes, and
// only then the backups.
UpdateOutcome CProgramUpdate::Finish()
{
    if (!WriteConfigValue(L"Update", L"AutoUpdate", L"0", Installed(L"Config\\common.ini")))
        return UpdateOutcome::Pending;
    if (!RemoveUpdateJournal(m_job.m_strWorkFolder))
        return UpdateOutcome::Pending;
    DeleteIfThere(BackupFolder());
    return UpdateOutcome::Finished;
}

// Puts the noted backups back; the note says "undo" first, so that the next
// start goes on undoing. The note goes before the backups.
UpdateOutcome CProgramUpdate::Undo()
{
    if (m_note.stage != UpdateStage::Undo) {
        m_note.stage = UpdateStage::Undo;
        if (!WriteUpdateJournal(m_job.m_strWorkFolder, m_note))
            return UpdateOutcome::Pending;
    }
    for (const CString& name : m_note.programFiles) {
        if (!PutBackupBack(name))
            return UpdateOutcome::Pending;
    }
    DeleteWorkFiles();
    if (!RemoveUpdateJournal(m_job.m_strWorkFolder))
        return UpdateOutcome::Pending;
    DeleteIfThere(BackupFolder());
    return UpdateOutcome::Undone;
}

// The digest of the old version of name that this update backed up; ""
// when it has none to put back: the package brought the file where there
// was none, or the backup is missing or not the one noted.
CString CProgramUpdate::BackupDigest(const CString& name) const
{
    const CString backup = Backup(name);
    if (!Exists(backup))
        return CString();
    const CString digest = ComputeFileMd5(backup);
    if (const UpdateBackup* noted = m_note.BackupOf(name))
        return digest == noted->md5 ? digest : CString();
    // An older updater's note does not list its backups: a whole program of
    // the file's kind is taken for one.
    if (!m_note.backupsListed && IsWholeProgramImage(backup, KindOf(name)))
        return digest;
    return CString();
}

// Puts the backup of name in its place in one step, unless the old version
// is there already. A file without a backup of this update is left as it
// is. False when it could not be put back.
bool CProgramUpdate::PutBackupBack(const CString& name) const
{
    const CString digest = BackupDigest(name);
    if (digest.IsEmpty())
        return true;
    const CString target = Installed(name);
    if (ComputeFileMd5(target) == digest)
        return true;
    if (WaitForFileRelease(target, kLookAgainMs) == FileRelease::Failed)
        return false;
    // A copy, so that the backup stays until every file is back; made beside
    // the backup, so that a run ended meanwhile leaves nothing in the
    // program folder.
    const CString copy = Backup(name) + L".back";
    if (!CopyFileW(Backup(name), copy, FALSE) || !ReplaceFileKeepingOld(copy, target)) {
        DeleteFileW(copy);
        return false;
    }
    return ComputeFileMd5(target) == digest;
}

void CProgramUpdate::DeleteWorkFiles() const
{
    DeleteIfThere(m_job.m_strWorkFolder + L"TessalyUpdate");
    DeleteIfThere(m_job.PackagePath());
}

} // namespace

UpdateOutcome InstallUpdate(const CUpdateJob& job)
{
    return CProgramUpdate(job).Install();
}

UpdateOutcome ResumeUpdate(const CUpdateJob& job, CString& digest)
{
    return CProgramUpdate(job).Resume(digest);
}
