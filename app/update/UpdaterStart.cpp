#include "app/update/UpdaterStart.h"

#include "app/common/FileUtils.h"
#include "app/common/UpdateJournal.h"

#include <shellapi.h>

namespace {

constexpr wchar_t kUpdaterFile[] = L"Uplark.exe";

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool UpdaterIsRunning()
{
    CHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, kUpdaterMutexName));
    return mutex.IsValid();
}

} // namespace

CString UpdaterCommandLine(const CString& mainMd5)
{
    return L"TAG=Zenro_Run_Update|MD5=" + mainMd5;
}

CHandle StartUpdater(const CString& appDir, const CString& mainMd5)
{
    const CString updater = appDir + kUpdaterFile;
    const CString parameters = UpdaterCommandLine(mainMd5);
    SHELLEXECUTEINFOW start = {};
    start.cbSize = sizeof(start);
    start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    start.lpVerb = L"open";
    start.lpFile = updater;
    start.lpParameters = parameters;
    start.nShow = SW_HIDE;
    if (!ShellExecuteExW(&start))
        return CHandle();
    return CHandle(start.hProcess);
}

CHandle ResumeUpdateAtStart(const CString& appDir)
{
    const CString work = appDir + L"Temp\\";
    const CString updater = appDir + kUpdaterFile;
    const CString aside = work + kUpdaterAsideName;
    if (!Exists(updater) && Exists(aside))
        MoveFileExW(aside, updater, MOVEFILE_WRITE_THROUGH);
    UpdateJournal journal;
    switch (ReadUpdateJournal(work, journal)) {
    case JournalRead::Read:
        return StartUpdater(appDir, journal.digest);
    case JournalRead::None:
        // The note goes before the backups: without one they serve nothing,
        // unless an updater is at work and about to write it.
        if (Exists(work + kUpdateBackupFolder) && !UpdaterIsRunning())
            DeletePath(work + kUpdateBackupFolder);
        return CHandle();
    case JournalRead::Unreadable:
        break;
    }
    // Left for the updater, which sets it aside.
    return CHandle();
}
