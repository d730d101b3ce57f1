#include "updater/DownloadAndVerify.h"

#include "updater/DownloadUrlToFile.h"
#include "updater/ExtractArchive.h"

#include "app/common/FileUtils.h"
#include "app/common/Md5Checksum.h"
#include "app/common/ServerAddresses.h"

#include <shlobj.h>

namespace {

constexpr int kTries = 10;

bool PathExists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool MakeWorkFolder(const CString& folder)
{
    if (PathExists(folder))
        return true;
    return SHCreateDirectoryExW(nullptr, folder.Left(folder.GetLength() - 1), nullptr) == ERROR_SUCCESS;
}

// Files left in the unpack folder by an earlier run that did not finish must
// not be installed with this package: the folder goes before each unpacking.
bool EmptyUnpackFolder(const CString& folder)
{
    if (PathExists(folder))
        DeletePath(folder);
    return !PathExists(folder);
}

} // namespace

bool DownloadAndVerify(const CUpdateJob& job)
{
    if (!MakeWorkFolder(job.m_strWorkFolder))
        return false;
    const CString url = CString(RAVONYX_DOWNLOAD_SITE) + L"update/" + job.m_strPackageName;
    const CString package = job.PackagePath();
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (!DownloadUrlToFile(url, package))
            continue;
        if (ComputeFileMd5(package).Compare(job.m_strExpectedMd5) == 0 &&
            EmptyUnpackFolder(job.UnpackFolder()) && ExtractArchive(package, job.UnpackFolder()))
            return true;
        DeletePath(package);
    }
    return false;
}
