#include "app/update/UpdatePackage.h"

#include "app/common/FileUtils.h"
#include "app/common/Md5Checksum.h"
#include "app/common/ProgramImage.h"
#include "app/common/ServerAddresses.h"
#include "app/common/UnpackArchive.h"
#include "app/update/ProgramQuitting.h"
#include "base/Handle.h"
#include "download/Dunmere.h"

#include <shlobj.h>

namespace {

constexpr int kTries = 10;
// How often the wait for the target looks again.
constexpr DWORD kLookAgainMs = 10000;

bool PathExists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

CString WithoutTrailingBackslash(const CString& folder)
{
    if (!folder.IsEmpty() && folder[folder.GetLength() - 1] == L'\\')
        return folder.Left(folder.GetLength() - 1);
    return folder;
}

// Puts source in the place of target: in one rename over the old file where
// the system allows it, so that there is no moment without an updater; else
// the old one goes aside first and comes back when the new one cannot
// follow (and at the program's next start, should the program end between).
bool ReplaceKeepingOld(const CString& source, const CString& target, const CString& aside)
{
    if (!PathExists(target))
        return MoveFileExW(source, target, MOVEFILE_COPY_ALLOWED) != 0;
    // Without MOVEFILE_COPY_ALLOWED: a copy to another volume is no single
    // step.
    if (MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING))
        return true;
    if (PathExists(aside))
        DeletePath(aside);
    if (!MoveFileExW(target, aside, 0))
        return false;
    if (!MoveFileExW(source, target, MOVEFILE_COPY_ALLOWED)) {
        MoveFileExW(aside, target, MOVEFILE_REPLACE_EXISTING);
        return false;
    }
    SetFileAttributesW(aside, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(aside);
    return true;
}

} // namespace

CUpdatePackage::CUpdatePackage(const CString& programFolder)
    : CUpdatePackage(programFolder, RAVONYX_DOWNLOAD_SITE)
{
}

CUpdatePackage::CUpdatePackage(const CString& programFolder, const CString& downloadSite)
    : m_strAppDir(programFolder), m_strWorkDir(programFolder + L"Temp\\"), m_strDownloadSite(downloadSite)
{
}

CString CUpdatePackage::UnpackFolder() const
{
    return m_strWorkDir + L"UplarkUpdate\\";
}

int CUpdatePackage::Download()
{
    if (!PathExists(m_strWorkDir) &&
        SHCreateDirectory(nullptr, WithoutTrailingBackslash(m_strWorkDir)) != ERROR_SUCCESS)
        return 0;
    const CString url = m_strDownloadSite + L"update/" + m_strPackage;
    const CString package = m_strWorkDir + m_strPackage;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (IsProgramQuitting())
            return 0;
        if (!DownLoadForSingle(url, m_strWorkDir))
            continue;
        if (ComputeFileMd5(package).Compare(m_strMd5) == 0 && UnpackIntoEmptyFolder(package)) {
            if (TargetIsWhole())
                return 1;
            // The listed package itself holds no working program: fetching
            // it again brings the same.
            RemoveWorkFiles();
            return 0;
        }
        DeletePath(package);
    }
    return 0;
}

// A target the package brings must be a program that can run here.
bool CUpdatePackage::TargetIsWhole() const
{
    const CString unpacked = UnpackFolder() + m_strTarget;
    if (!PathExists(unpacked))
        return true;
    const bool library = m_strTarget.GetLength() >= 4 && m_strTarget.Right(4).CompareNoCase(L".dll") == 0;
    return IsWholeProgramImage(unpacked, library ? ProgramImageKind::Library : ProgramImageKind::Program);
}

// Files an earlier run left in the folder must not pass for this package's.
bool CUpdatePackage::UnpackIntoEmptyFolder(const CString& package) const
{
    const CString folder = UnpackFolder();
    if (PathExists(folder))
        DeletePath(folder);
    if (PathExists(folder))
        return false;
    return UnpackArchive(package, folder, L"");
}

bool CUpdatePackage::Install()
{
    while (!IsTargetWritable()) {
        if (WaitForProgramQuitting(kLookAgainMs)) {
            RemoveWorkFiles();
            return false;
        }
    }
    const CString source = UnpackFolder() + m_strTarget;
    bool replaced = false;
    if (PathExists(source))
        replaced = ReplaceKeepingOld(source, m_strAppDir + m_strTarget, m_strWorkDir + m_strTarget + L".old");
    RemoveWorkFiles();
    return replaced;
}

void CUpdatePackage::RemoveWorkFiles() const
{
    const CString package = m_strWorkDir + m_strPackage;
    if (PathExists(package))
        DeletePath(package);
    if (PathExists(UnpackFolder()))
        DeletePath(UnpackFolder());
}

int CUpdatePackage::IsTargetWritable() const
{
    const CString path = m_strAppDir + m_strTarget;
    if (!PathExists(path))
        return 1;
    CFileHandle file(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.IsValid() ? 1 : 0;
}
