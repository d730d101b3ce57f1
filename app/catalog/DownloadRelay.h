// The download library's messages turned into page updates and local-list
// changes, and the deferred page calls.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "app/mainwnd/MainDlgMessages.h"
#include "app/mainwnd/PostedBlocks.h"

// The text handed to the page's "displayDownloadProgress":
// {"soft_id":"<id>","content":"<percent>","speed":"<speed, one decimal>"}.
CString ProgressRecord(const CString& itemId, int percent, double speedKBps);

// True when the content page shown (its address) is one that shows
// download progress: the local lists' pages or a page of the content site.
bool ContentPageShowsProgress(const CString& contentUrl);

// The item id of a finished package's address: between its last "/" and
// its last ".".
CString FinishedItemId(const CString& url);

// Results as the main window answers the library's messages.
LRESULT RelayDownloadProgress(std::vector<ActiveDownload>& active, const CString& contentUrl,
                              const DownloadProgressInfo& info);
LRESULT RelayDownloadFinished(HWND mainWnd, std::vector<ActiveDownload>& active,
                              CPostedBlocks<PageCallRequest>& pageCalls, const DownloadFinishedInfo& info);
LRESULT RelayDownloadStopped(std::vector<ActiveDownload>& active, const DownloadStoppedInfo& info);
LRESULT ShowFinishedPopup(HWND mainWnd, int itemId, int kind);

// Records every running download as stopped in the local lists (at exit).
void RecordStoppedDownloads(const std::vector<ActiveDownload>& active);

// Calls the page function named in the block on the content page.
void RunPageScriptRequest(std::unique_ptr<PageCallRequest> request);
