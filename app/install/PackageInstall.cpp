#include "app/install/PackageInstall.h"

#include "app/catalog/DeleteTask.h"
#include "app/catalog/LocalLists.h"
#include "app/common/FileUtils.h"
#include "app/common/SafeFileName.h"
#include "app/common/UnpackArchive.h"
#include "app/common/XmlReader.h"
#include "app/install/PackageContents.h"
#include "app/install/PackagePassword.h"
#include "app/install/ThemeApply.h"
#include "app/install/Wallpaper.h"
#include "app/startup/CorvaneModule.h"
#include "base/Thread.h"
#include "skin/CorvaneMsgBox.h"

#include <string>

DeleteOffer g_offerDelete = &DeleteTask;

namespace {

constexpr int kWallpaperKind = 2;

const wchar_t kErrorCaption[] = L"错误信息";
const wchar_t kPackageDamaged[] = L"由于下载数据损坏，软件无法安装，请重新下载软件！";
const wchar_t kExtractorMissing[] = L"由于必备组件丢失，软件无法安装。请重新安装泽诺美化箱！";
const wchar_t kUnpackFailed[] = L"由于解压失败，软件无法安装。请重新下载！";
const wchar_t kWallpaperFailed[] = L"应用壁纸失败，请重新下载！";

bool FileExists(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Tells the user and offers to delete the item.
void Fail(const wchar_t* message, const CString& id, int kind)
{
    CCorvaneMsgBox::Show(message, kErrorCaption, MB_OK);
    g_offerDelete(_wtoi(id), 2, kind);
}

struct ListedItem {
    CString file;
    CString name;
};

// Read under the list's lock, so that a save on another thread is never
// read half written.
ListedItem ReadListedItem(int kind, const CString& id)
{
    ListedItem item;
    ReadItemFile(kind, id, item.file);
    ReadItemName(kind, id, item.name);
    return item;
}

bool Unpack(const CString& package, const CString& target, const CString& id)
{
    const CPackagePassword password(id);
    return UnpackArchive(package, target, password.Text());
}

} // namespace

bool InstallPackage(int kind, const CString& id)
{
    const ListedItem item = ReadListedItem(kind, id);
    const CString package = _Module.m_strDownloadDir + item.file;
    if (item.file.IsEmpty() || !FileExists(package)) {
        Fail(kPackageDamaged, id, kind);
        return false;
    }
    if (!FileExists(_Module.m_strAppDir + L"Extract.dll")) {
        Fail(kExtractorMissing, id, kind);
        return false;
    }
    const bool wallpaper = kind == kWallpaperKind;
    const CString target =
        _Module.m_strDownloadDir + (wallpaper ? L"Ravonyx\\desktop\\" : L"Ravonyx\\theme\\");
    // The name comes from the server and becomes part of paths in the
    // Windows folders: anything but a plain file name is refused, and so is
    // a theme whose name is taken there by something this program did not
    // place. The package unpacks into its own folder only.
    if (!IsSafeFileName(item.name) || (!wallpaper && !CanPlaceTheme(item.name)) ||
        !PackageStaysInItsFolder(package, id) || !Unpack(package, target, id)) {
        Fail(kUnpackFailed, id, kind);
        return false;
    }
    const CString packageFolder = PickExistingDirectory(target + id);
    if (wallpaper) {
        const CString image = target + id + L"\\" + item.name + L".jpg";
        // A folder of that name is no image, whatever the desktop says.
        if (DirectoryExists(image) || !SetWallpaper(image))
            Fail(kWallpaperFailed, id, kWallpaperKind);
    } else if (ApplyThemePackage(packageFolder, item.name) == ThemeApplyResult::NotPlaced) {
        // Unpacked, yet nothing to install: no item folder, no visual style,
        // or a record of placed themes that cannot be written.
        Fail(kUnpackFailed, id, kind);
        return false;
    }
    return true;
}

void RunItem(int id, int kind)
{
    CString text;
    text.Format(L"%d", id);
    InstallPackage(kind, text);
}

void InstallPackageThread(InstallRequest request)
{
    CString text;
    text.Format(L"%d", request.id);
    InstallPackage(request.kind, text);
}

CHandle StartInstallPackageThread(int id, int kind)
{
    const InstallRequest request = {id, kind};
    return StartThread([request] { InstallPackageThread(request); });
}
