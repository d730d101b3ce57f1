#include "updater/InstallUpdate.h"

#include "updater/FileReplacement.h"
#include "updater/MoveDirectoryTree.h"

#include "app/common/FileUtils.h"
#include "app/common/ProgramImage.h"
#include "app/common/UpdateJournal.h"
#include "base/Handle.h"

#include <cstring>
#include <vector>

namespace {

// The main program and its library: replaced first, and as one.
const wchar_t* const kProgramFiles[] = {L"Ravonyx.exe", L"Dunmere.dll"};
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

// The old program files are kept here while the new ones go in.
CString BackupFolder(const CUpdateJob& job)
{
    return job.m_strWorkFolder + L"TessalyOld\\";
}

bool IsProgramFileName(const CString& name)
{
    for (const wchar_t* known : kProgramFiles) {
        if (name == known)
            return true;
    }
    return false;
}

bool ProgramFilesAreWhole(const CString& unpacked)
{
    for (const auto& file : kCheckedFiles) {
        const CString path = unpacked + file.name;
        if (Exists(path) && !IsWholeProgramImage(path, file.kind))
            return false;
    }
    return true;
}

void DeleteIfThere(const CString& path)
{
    if (Exists(path))
        DeletePath(path);
}

void DeleteWorkFiles(const CUpdateJob& job)
{
    DeleteIfThere(job.m_strWorkFolder + L"TessalyUpdate");
    DeleteIfThere(job.PackagePath());
}

// Both must be free before either changes, so that nothing is replaced
// under a running program. False when one cannot be looked at.
bool WaitForProgramFiles(const CUpdateJob& job, const std::vector<CString>& names)
{
    for (const CString& name : names) {
        if (WaitForFileRelease(job.m_strProgramFolder + name, kLookAgainMs) == FileRelease::Failed)
            return false;
    }
    return true;
}

// A whole copy of each old file, or none: a copy is made under another name
// and renamed once complete.
bool BackUpProgramFiles(const CUpdateJob& job, const std::vector<CString>& names)
{
    const CString folder = BackupFolder(job);
    DeleteIfThere(folder);
    if (!CreateDirectoryW(folder, nullptr))
        return false;
    for (const CString& name : names) {
        const CString target = job.m_strProgramFolder + name;
        if (!Exists(target))
            continue;
        const CString copy = folder + name + L".part";
        if (!CopyFileW(target, copy, FALSE) || !MoveFileExW(copy, folder + name, MOVEFILE_WRITE_THROUGH))
            return false;
    }
    return true;
}

// True when both files hold the same bytes.
bool SameContents(const CString& one, const CString& other)
{
    CFileHandle a(CreateFileW(LongPathForm(one), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    CFileHandle b(CreateFileW(LongPathForm(other), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER sizeA, sizeB;
    if (!a || !b || !GetFileSizeEx(a, &sizeA) || !GetFileSizeEx(b, &sizeB) ||
        sizeA.QuadPart != sizeB.QuadPart)
        return false;
    std::vector<char> blockA(64 * 1024), blockB(64 * 1024);
    for (;;) {
        DWORD readA = 0, readB = 0;
        if (!ReadFile(a, blockA.data(), static_cast<DWORD>(blockA.size()), &readA, nullptr) ||
            !ReadFile(b, blockB.data(), static_cast<DWORD>(blockB.size()), &readB, nullptr) || readA != readB)
            return false;
        if (readA == 0)
            return true;
        if (std::memcmp(blockA.data(), blockB.data(), readA) != 0)
            return false;
    }
}

// Puts the backed-up files back, each in one step; a file the package
// brought where there was none goes. A file that never changed stays as it
// is. False when one could not be put back.
bool PutOldFilesBack(const CUpdateJob& job, const UpdateJournal& journal)
{
    const CString folder = BackupFolder(job);
    for (const CString& name : journal.programFiles) {
        const CString target = job.m_strProgramFolder + name;
        const CString backup = folder + name;
        if (Exists(backup) && SameContents(backup, target))
            continue;
        if (WaitForFileRelease(target, kLookAgainMs) == FileRelease::Failed)
            return false;
        if (!Exists(backup)) {
            // It had no old version; once the new one is in, it goes.
            if (!Exists(job.UnpackFolder() + name) && Exists(target) && !DeletePath(target))
                return false;
            continue;
        }
        // A copy, so that the backup stays until every file is back; made
        // beside the backup, so that a run ended meanwhile leaves nothing
        // in the program folder.
        const CString copy = backup + L".back";
        if (!CopyFileW(backup, copy, FALSE) || !ReplaceFileKeepingOld(copy, target)) {
            DeleteFileW(copy);
            return false;
        }
    }
    return true;
}

UpdateOutcome Undo(const CUpdateJob& job, UpdateJournal journal)
{
    journal.stage = UpdateStage::Undo;
    if (!WriteUpdateJournal(job.m_strWorkFolder, journal) || !PutOldFilesBack(job, journal))
        return UpdateOutcome::Pending;
    DeleteWorkFiles(job);
    DeleteIfThere(BackupFolder(job));
    RemoveUpdateJournal(job.m_strWorkFolder);
    return UpdateOutcome::Undone;
}

// Goes on from wherever a run of the noted update stopped: a program file
// still in the unpacked folder has not gone in yet.
UpdateOutcome Complete(const CUpdateJob& job, const UpdateJournal& journal)
{
    const CString unpacked = job.UnpackFolder();
    std::vector<CString> left;
    for (const CString& name : journal.programFiles) {
        if (Exists(unpacked + name))
            left.push_back(name);
    }
    if (!WaitForProgramFiles(job, left))
        return Undo(job, journal);
    for (const CString& name : left) {
        if (!ReplaceFileKeepingOld(unpacked + name, job.m_strProgramFolder + name))
            return Undo(job, journal);
    }
    if (Exists(unpacked) && !MoveDirectoryTree(unpacked, job.m_strProgramFolder))
        return UpdateOutcome::Pending;
    // What is left are the folders whose names begin with ".".
    DeleteWorkFiles(job);
    return UpdateOutcome::Finished;
}

} // namespace

UpdateOutcome InstallUpdate(const CUpdateJob& job)
{
    const CString unpacked = job.UnpackFolder();
    if (!ProgramFilesAreWhole(unpacked)) {
        MessageBoxW(nullptr, kRefusedPackage, nullptr, MB_OK);
        DeleteWorkFiles(job);
        return UpdateOutcome::Refused;
    }
    UpdateJournal journal;
    journal.digest = job.m_strExpectedMd5;
    for (const wchar_t* name : kProgramFiles) {
        if (Exists(unpacked + name))
            journal.programFiles.push_back(name);
    }
    // Until the note is written the program folder is untouched.
    if (!WaitForProgramFiles(job, journal.programFiles) || !BackUpProgramFiles(job, journal.programFiles) ||
        !WriteUpdateJournal(job.m_strWorkFolder, journal)) {
        DeleteIfThere(BackupFolder(job));
        return UpdateOutcome::Pending;
    }
    return Complete(job, journal);
}

UpdateOutcome ResumeUpdate(const CUpdateJob& job, CString& digest)
{
    UpdateJournal journal;
    if (!ReadUpdateJournal(job.m_strWorkFolder, journal))
        return UpdateOutcome::None;
    for (const CString& name : journal.programFiles) {
        // No note of ours: nothing it says is done, and it goes.
        if (!IsProgramFileName(name)) {
            RemoveUpdateJournal(job.m_strWorkFolder);
            return UpdateOutcome::None;
        }
    }
    digest = journal.digest;
    if (journal.stage == UpdateStage::Undo)
        return Undo(job, journal);
    return Complete(job, journal);
}

void ForgetUpdate(const CUpdateJob& job)
{
    DeleteIfThere(BackupFolder(job));
    RemoveUpdateJournal(job.m_strWorkFolder);
}
