#include "app/catalog/DeleteTask.h"

#include "app/catalog/CatalogDownloads.h"
#include "app/catalog/LocalLists.h"
#include "app/common/FileReplace.h"
#include "app/common/FileUtils.h"
#include "app/install/ThemeApply.h"
#include "app/startup/CorvaneModule.h"
#include "download/Dunmere.h"
#include "skin/CorvaneMsgBox.h"
#include "skin/CorvaneMsgBox2.h"

namespace {

const wchar_t kCannotDelete[] = L"文件无法删除，请检查您的权限！";

bool FileExists(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteIfPresent(const CString& path)
{
    return !FileExists(path) || DeleteFileW(path);
}

CString UnpackedFolder(int itemId, int kind)
{
    CString folder;
    folder.Format(L"%sRavonyx\\%s\\%d", static_cast<const wchar_t*>(_Module.m_strDownloadDir),
                  kind == 2 ? L"desktop" : L"theme", itemId);
    return folder;
}

bool DeleteFolderIfPresent(const CString& folder)
{
    return !DirectoryExists(folder) || DeletePath(folder);
}

// The files of an item; false at the first that stays.
bool DeleteItemFiles(int itemId, int state, int kind, const CString& file, const CString& name)
{
    const CString package = _Module.m_strDownloadDir + file;
    if (state == 1) {
        if (!DeleteIfPresent(package))
            return false;
        // A theme's package folder keeps what was not moved into Windows.
        if (kind == 1 && !RemoveThemePackage(name))
            return false;
        return DeleteFolderIfPresent(UnpackedFolder(itemId, kind));
    }
    PauseDownload(PackageUrl(itemId));
    for (wchar_t digit = L'0'; digit <= L'9'; ++digit) {
        const CString part = package + L"_" + digit;
        if (!FileExists(part))
            break;
        if (!DeleteFileW(part))
            return false;
    }
    // After a failed installation: the package and what was unpacked of it.
    if (state == 2)
        return DeleteIfPresent(package) && DeleteFolderIfPresent(UnpackedFolder(itemId, kind));
    return true;
}

} // namespace

BOOL DeleteTask(int itemId, int state, int kind)
{
    PauseTask(itemId);
    // Only a clear "yes" deletes: "no" and the close button keep the files.
    if (CCorvaneMsgBox2::ShowDeleteConfirm() != IDYES)
        return FALSE;

    CString id;
    id.Format(L"%d", itemId);
    CString file;
    CString name;
    if (!ReadItemFile(kind, id, file) || file.IsEmpty())
        return FALSE;
    ReadItemName(kind, id, name);
    // A list that cannot take the change keeps the item whole, files and
    // all: the list file itself and the temporary file its rewrite needs.
    // The files go first: while any of them stays, so does the entry, and
    // the user can delete the item again.
    if (!ListIsWritable(kind) || !CanReplaceFile(DataListPath(kind)) ||
        !DeleteItemFiles(itemId, state, kind, file, name) || !RemoveListItem(kind, id)) {
        CCorvaneMsgBox::Show(kCannotDelete, L"错误信息", 0);
        return FALSE;
    }
    return TRUE;
}
