#include "updater/UpdaterMain.h"

#include "updater/DownloadAndVerify.h"
#include "updater/InstallUpdate.h"
#include "updater/UpdateCommandLine.h"
#include "updater/UpdateJob.h"

#include "app/common/UpdateJournal.h"
#include "base/Handle.h"

namespace {

// The folder of this program with its trailing "\"; "" when it cannot be
// read. The buffer grows for paths beyond MAX_PATH.
CString OwnFolder()
{
    for (DWORD capacity = MAX_PATH; capacity <= 32768; capacity *= 2) {
        CString path;
        const DWORD length =
            GetModuleFileNameW(nullptr, path.GetBuffer(static_cast<int>(capacity)), capacity);
        if (length == 0)
            return CString();
        if (length < capacity) {
            path.ReleaseBuffer(static_cast<int>(length));
            return path.Left(path.ReverseFind(L'\\') + 1);
        }
        path.ReleaseBuffer(0);
    }
    return CString();
}

} // namespace

int UpdaterMain(const wchar_t* commandLine)
{
    // Held until the process ends.
    CHandle mutex(CreateMutexW(nullptr, FALSE, kUpdaterMutexName));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    const CString digest = ParseUpdateCommandLine(commandLine ? commandLine : L"");
    if (digest.IsEmpty())
        return 0;
    const CString folder = OwnFolder();
    if (folder.IsEmpty())
        return 0;

    const CUpdateJob job(folder, digest);
    // An update that an earlier run began is finished (or undone) first.
    CString resumed;
    switch (ResumeUpdate(job, resumed)) {
    case UpdateOutcome::Finished:
        // This order's package is in already.
        if (resumed == digest)
            return 0;
        break;
    case UpdateOutcome::Pending:
        return 0;
    default:
        break;
    }
    if (DownloadAndVerify(job))
        InstallUpdate(job);
    return 0;
}
