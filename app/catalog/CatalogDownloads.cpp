#include "app/catalog/CatalogDownloads.h"

#include <vector>

#include "app/catalog/CatalogSites.h"
#include "app/catalog/LocalLists.h"
#include "app/common/ConfigCodec.h"
#include "app/common/FileUtils.h"
#include "app/common/HttpText.h"
#include "app/common/SafeFileName.h"
#include "app/common/TextUtils.h"
#include "app/mainwnd/MainDlgMessages.h"
#include "app/startup/CorvaneModule.h"
#include "app/stats/UsageStats.h"
#include "base/Thread.h"
#include "download/Dunmere.h"
#include "skin/CorvaneMsgBox.h"

namespace {

constexpr DWORD kItemInfoReadSize = 2000;
constexpr int kItemInfoFields = 6;

CString IdText(int itemId)
{
    CString text;
    text.Format(L"%d", itemId);
    return text;
}

CString WithoutPrefix(CString field, const wchar_t* prefix)
{
    field.Replace(prefix, L"");
    return field;
}

CString PreviewFolder()
{
    return _Module.m_strDownloadDir + L"Ravonyx\\ico\\";
}

CString DownloadFolder()
{
    return _Module.m_strDownloadDir + L"Ravonyx\\download\\";
}

void SelectTab(HWND mainWnd, int index)
{
    if (mainWnd)
        SendMessageW(mainWnd, WM_SELECT_TAB, static_cast<WPARAM>(index), 0);
}

// "$imagelocalpath$" becomes "$imageiniboot$Ravonyx/ico/".
CString WithPreviewPlaceholder(CString jsons)
{
    jsons.Replace(L"$imagelocalpath$", L"$imageiniboot$Ravonyx/ico/");
    return jsons;
}

} // namespace

bool ParseItemInfoReply(const CString& reply, ItemInfo& info)
{
    std::vector<CString> fields;
    SplitString(reply, L" | ", fields, kItemInfoFields, CString());
    if (fields.size() < kItemInfoFields || fields[0] != L"success")
        return false;
    info.name = WithoutPrefix(fields[1], L"gamename:");
    info.contentUrl = WithoutPrefix(fields[2], L"contenturl:");
    info.imagePath = WithoutPrefix(fields[3], L"imagepath:");
    info.gamePath = WithoutPrefix(fields[4], L"gamepath:");
    info.jsons = WithoutPrefix(fields[5], L"jsons:");
    return true;
}

bool RequestItemReply(const CString& id, CString& reply)
{
    return HttpGetText(GetCatalogSites().webSite + L"/api.php?op=getinfo_box&gid=" + id, reply,
                       kItemInfoReadSize);
}

ItemInfoResult RequestItemInfo(int itemId, ItemInfo& info)
{
    CString reply;
    if (!RequestItemReply(IdText(itemId), reply))
        return ItemInfoResult::NoConnection;
    return ParseItemInfoReply(reply, info) ? ItemInfoResult::Ok : ItemInfoResult::Failed;
}

CString PackageUrl(int itemId)
{
    return GetCatalogSites().downloadBase + IdText(itemId) + L".zip";
}

CString PreviewImageUrl(const CString& imagePath)
{
    const CString& site = GetCatalogSites().webSite;
    return imagePath.Find(site) >= 0 ? imagePath : site + imagePath;
}

bool StartSingleDownloadThread(const CString& url, const CString& folder)
{
    if (!IsSafeFileName(url.Mid(url.ReverseFind(L'/') + 1)))
        return false;
    // The thread owns its copies; a second call cannot touch them.
    return StartDetachedThread([url, folder] { DownLoadForSingle(url, folder); });
}

BOOL AddItemAndDownload(HWND mainWnd, int itemId, int listKind, int questionKind)
{
    const CString id = IdText(itemId);
    if (ListHasItem(listKind, id)) {
        CCorvaneMsgBox::Show(L"文件已经下载或下载中，请直接应用！", L"提示信息", 0);
        if (questionKind == 1)
            SelectTab(mainWnd, 0);
        else if (questionKind == 2)
            SelectTab(mainWnd, 12);
        return FALSE;
    }

    ItemInfo info;
    switch (RequestItemInfo(itemId, info)) {
    case ItemInfoResult::NoConnection:
        CCorvaneMsgBox::Show(L"无法连接服务器，请检查您的网络！", L"错误信息", 0);
        return FALSE;
    case ItemInfoResult::Failed:
        CCorvaneMsgBox::Show(L"由于网络故障等原因，此文件暂时无法下载！", L"下载失败", 0);
        return FALSE;
    case ItemInfoResult::Ok:
        break;
    }

    // The preview is fetched on its own; a refused or failed one only
    // leaves the local pages without the picture.
    StartSingleDownloadThread(PreviewImageUrl(info.imagePath), PreviewFolder());

    if (!AddListItem(listKind, id, info.name, WithPreviewPlaceholder(info.jsons), PackageFileText(id))) {
        CCorvaneMsgBox::Show(L"由于数据文件异常，导致文件暂时无法添加！", L"下载失败", 0);
        return FALSE;
    }
    DownLoadByTask(PackageUrl(itemId), DownloadFolder(), listKind);

    const wchar_t* question = questionKind == 1 ? L"主题已经开始下载，需要到下载管理查看进度吗？"
                              : questionKind == 2 ? L"壁纸已经开始下载，需要到下载管理查看进度吗？"
                                                  : nullptr;
    if (question && CCorvaneMsgBox::Show(question, L"下载提示", MB_YESNO) == IDYES)
        SelectTab(mainWnd, questionKind == 1 ? 11 : 13);

    CountActiveDay();
    return TRUE;
}

bool RecordItemStatus(int kind, const CString& id, int digit)
{
    if (SetItemStatus(kind, id, digit))
        return true;
    // Not written: that is only right when there was nothing to write, or
    // the list holds the digit already.
    CString jsons;
    if (!ReadItemJsons(kind, id, jsons))
        return true;
    const int at = jsons.Find(L"\"status\":");
    return at < 0 || jsons.Mid(at + 9, 1) == CString(static_cast<wchar_t>(L'0' + digit % 10));
}

int StartDownLoadTask(int itemId, int kind)
{
    const CString id = IdText(itemId);
    // Only a listed item is downloaded, into the folder its entry names: an
    // id that is not listed (or names no file) has no folder to go to.
    CString file;
    if (!ReadItemFile(kind, id, file) || file.IsEmpty())
        return kItemNotListed;
    CString folder = ParentDirectory(_Module.m_strDownloadDir + file);
    if (folder.IsEmpty())
        folder = DownloadFolder();
    // A listed item whose status cannot be recorded is not downloaded: the
    // list would not know of the download.
    if (!RecordItemStatus(kind, id, 1))
        return kListNotWritten;
    return DownLoadByTask(PackageUrl(itemId), folder, kind);
}

BOOL PauseTask(int itemId)
{
    PauseDownload(PackageUrl(itemId));
    return TRUE;
}

int AutoDownloadPending()
{
    CString autoDown;
    ReadConfigValue(L"DownLoad", L"AutoDown", _Module.m_strAppDir + L"Config\\common.ini", L"0", MAX_PATH,
                    autoDown);
    const int autoStart = _wtoi(autoDown);
    bool yes = false;
    for (int kind = 1; kind <= 2; ++kind) {
        const std::map<std::string, std::string> statuses = ItemStatusMap(kind);
        for (const auto& entry : statuses) {
            if (entry.second == "2")
                continue;
            if (autoStart == 1 && !yes)
                yes = CCorvaneMsgBox::Show(L"您已经设置为开机自动下载，确定现在开始全部下载吗？", L"下载提示",
                                           MB_YESNO) == IDYES;
            break;
        }
        for (const auto& entry : statuses) {
            if (entry.second == "2")
                continue;
            const CString id = CString::FromAnsi(entry.first.c_str());
            if (yes)
                StartDownLoadTask(_wtoi(id), kind);
            else if (entry.second != "3")
                SetItemStatus(kind, id, 3);
        }
    }
    return 1;
}
