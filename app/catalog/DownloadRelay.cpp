#include "app/catalog/DownloadRelay.h"

#include <algorithm>

#include "app/browser/ProgramPages.h"
#include "app/browser/UiHtmlContainerWindow.h"
#include "app/catalog/CatalogDownloads.h"
#include "app/catalog/CatalogScriptHandlers.h"
#include "app/catalog/CatalogSites.h"
#include "app/catalog/ContentPage.h"
#include "app/catalog/LocalLists.h"
#include "app/install/PackageInstall.h"
#include "app/popups/GBPopups.h"
#include "app/startup/CorvaneModule.h"
#include "skin/CorvaneMsgBox.h"

namespace {

std::vector<ActiveDownload>::iterator FindActive(std::vector<ActiveDownload>& active, const CString& title)
{
    return std::find_if(active.begin(), active.end(),
                        [&title](const ActiveDownload& entry) { return entry.fileTitle == title; });
}

// The file name of a "file:" address: after its last slash, before its
// query or fragment.
CString LocalPageName(const CString& address)
{
    CString path = address;
    for (const wchar_t mark : {L'?', L'#'}) {
        const int end = path.Find(mark);
        if (end >= 0)
            path = path.Left(end);
    }
    const int slash = std::max(path.ReverseFind(L'/'), path.ReverseFind(L'\\'));
    return path.Mid(slash + 1);
}

// Whether the content browser shows one of the program's own pages now,
// by the check the script object makes: the page may have moved on since
// the program sent it there, and a foreign page gets none of its calls.
bool ContentShowsProgramPage()
{
    CUiHtmlContainerWindow* content = ContentBrowser();
    return content && CCatalogScriptHandlers::Instance().IsProgramPage(content->DocumentAddress());
}

void CallOwnContentPage(const wchar_t* function, const CString& argument)
{
    if (ContentShowsProgramPage())
        CallContentPage(function, argument);
}

// A status the list could not take is said at once: the list would go on
// telling a download that ended as running, and nothing retried later could
// cure what usually stops the write (a list made read-only, a full disk).
// Once the list can be written, starting the item again records it anew.
void ReportStatusNotSaved()
{
    CCorvaneMsgBox::Show(L"下载状态无法保存，请检查您的权限！", L"错误信息", MB_OK);
}

} // namespace

CString ProgressRecord(const CString& itemId, int percent, double speedKBps)
{
    CString record;
    record.Format(L"{\"soft_id\":\"%s\",\"content\":\"%d\",\"speed\":\"%.1f\"}",
                  static_cast<const wchar_t*>(itemId), percent, speedKBps);
    return record;
}

bool ContentPageShowsProgress(const CString& contentUrl)
{
    // A page of the content site (its scheme, host and port), or one of the
    // local lists' pages under the program's "Local\" folder.
    if (IsProgramPageAddress(contentUrl, {GetCatalogSites().contentSite}, CString()))
        return true;
    if (!IsProgramPageAddress(contentUrl, {}, _Module.m_strAppDir + L"Local\\"))
        return false;
    const CString name = LocalPageName(contentUrl);
    return name.CompareNoCase(L"mythemes.html") == 0 || name.CompareNoCase(L"myimages.html") == 0;
}

CString FinishedItemId(const CString& url)
{
    const int slash = url.ReverseFind(L'/');
    const int dot = url.ReverseFind(L'.');
    if (dot < 0 || dot <= slash)
        return CString();
    return url.Mid(slash + 1, dot - slash - 1);
}

LRESULT RelayDownloadProgress(std::vector<ActiveDownload>& active, const CString& contentUrl,
                              const DownloadProgressInfo& info)
{
    if (ContentPageShowsProgress(contentUrl))
        CallOwnContentPage(L"displayDownloadProgress",
                           ProgressRecord(info.fileTitle, info.percent, info.speedKBps));
    auto found = FindActive(active, info.fileTitle);
    if (found == active.end())
        active.push_back(ActiveDownload{info.fileTitle, info.percent, info.param});
    else
        found->percent = info.percent;
    return 1;
}

LRESULT RelayDownloadFinished(HWND mainWnd, std::vector<ActiveDownload>& active,
                              CPostedBlocks<PageCallRequest>& pageCalls, const DownloadFinishedInfo& info)
{
    const CString id = FinishedItemId(info.url);
    auto found = FindActive(active, id);
    if (found != active.end())
        active.erase(found);
    if (!RecordItemStatus(info.param, id, 2)) {
        // Not finished as far as the list knows: the page offers to start it
        // again, and the package is neither offered nor applied.
        auto request = std::make_unique<PageCallRequest>();
        request->functionName = L"EnableStartBnt";
        request->argument = id;
        pageCalls.Post(mainWnd, WM_PAGE_CALL, std::move(request));
        ReportStatusNotSaved();
        return 0;
    }

    auto request = std::make_unique<PageCallRequest>();
    request->functionName = L"displayDownloadProgress";
    request->argument = ProgressRecord(id, 100, 0.0);
    pageCalls.Post(mainWnd, WM_PAGE_CALL, std::move(request));

    const int itemId = _wtoi(id);
    if (info.param == 1) {
        if (_Module.m_nAlertDown != 0)
            SendMessageW(mainWnd, WM_SHOW_FINISHED_POPUP, static_cast<WPARAM>(itemId), 1);
    } else if (info.param == 2) {
        // The wallpaper is applied at once, on a thread of its own.
        StartInstallPackageThread(itemId, 2);
    }
    return 0;
}

LRESULT RelayDownloadStopped(std::vector<ActiveDownload>& active, const DownloadStoppedInfo& info)
{
    // A download stopped before its first progress is still in the list of
    // the kind it was queued with.
    int kind = info.param;
    int percent = 0;
    auto found = FindActive(active, info.fileTitle);
    if (found != active.end()) {
        kind = found->kind;
        percent = found->percent;
        active.erase(found);
    }
    const bool recorded = RecordItemStatus(kind, info.fileTitle, 3);
    if (recorded && percent != 0)
        SetItemProgress(kind, info.fileTitle, percent);
    CallOwnContentPage(L"EnableStartBnt", info.fileTitle);
    if (!recorded)
        ReportStatusNotSaved();
    return 1;
}

LRESULT ShowFinishedPopup(HWND, int itemId, int kind)
{
    CString id;
    id.Format(L"%d", itemId);
    CString name;
    ReadItemName(1, id, name);
    ShowDownloadFinishedPopup(name, itemId, kind);
    return 0;
}

void RecordStoppedDownloads(const std::vector<ActiveDownload>& active)
{
    bool allRecorded = true;
    for (const ActiveDownload& entry : active) {
        if (RecordItemStatus(entry.kind, entry.fileTitle, 3))
            SetItemProgress(entry.kind, entry.fileTitle, entry.percent);
        else
            allRecorded = false;
    }
    if (!allRecorded)
        ReportStatusNotSaved();
}

void RunPageScriptRequest(std::unique_ptr<PageCallRequest> request)
{
    if (request)
        CallOwnContentPage(request->functionName, request->argument);
}
