#include "app/update/UpdaterStart.h"

#include "app/common/UpdateJournal.h"

#include <shellapi.h>

namespace {

constexpr wchar_t kUpdaterFile[] = L"Uplark.exe";

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
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
    const CString updater = appDir + kUpdaterFile;
    const CString aside = appDir + kUpdaterAside;
    if (!Exists(updater) && Exists(aside))
        MoveFileExW(aside, updater, MOVEFILE_WRITE_THROUGH);
    UpdateJournal journal;
    if (!ReadUpdateJournal(appDir + L"Temp\\", journal) || journal.digest.IsEmpty())
        return CHandle();
    return StartUpdater(appDir, journal.digest);
}
