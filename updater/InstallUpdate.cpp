#include "updater/InstallUpdate.h"

#include "updater/FileReplacement.h"
#include "updater/MoveDirectoryTree.h"

#include "app/common/FileUtils.h"

namespace {

// Replaced first, once the running program has let go of them.
const wchar_t* const kProgramFiles[] = {L"Ravonyx.exe", L"Dunmere.dll"};
constexpr unsigned long kLookAgainMs = 10000;

bool SourceExists(const CString& path)
{
    return GetFileAttributesW(LongPathForm(path)) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

bool InstallUpdate(const CUpdateJob& job)
{
    const CString unpacked = job.UnpackFolder();
    // Both files must be free before either changes, so that an error on the
    // second leaves the first as it was.
    for (const wchar_t* name : kProgramFiles) {
        if (SourceExists(unpacked + name) &&
            WaitForFileRelease(job.m_strProgramFolder + name, kLookAgainMs) == FileRelease::Failed)
            return false;
    }
    for (const wchar_t* name : kProgramFiles) {
        if (SourceExists(unpacked + name) &&
            !ReplaceFileKeepingOld(unpacked + name, job.m_strProgramFolder + name))
            return false;
    }
    if (!MoveDirectoryTree(unpacked, job.m_strProgramFolder))
        return false;

    // What is left are the folders whose names begin with ".".
    DeletePath(job.m_strWorkFolder + L"TessalyUpdate");
    const CString package = job.PackagePath();
    if (GetFileAttributesW(package) != INVALID_FILE_ATTRIBUTES)
        DeletePath(package);
    return true;
}
