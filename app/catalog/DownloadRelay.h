// The download library's messages turned into page updates and local-list
// changes, and the deferred page calls.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "app/mainwnd/MainDlgMessages.h"

// Results as the main window answers the library's messages.
LRESULT RelayDownloadProgress(HWND mainWnd, std::vector<ActiveDownload>& active,
                              const DownloadProgressInfo& info);
LRESULT RelayDownloadFinished(HWND mainWnd, std::vector<ActiveDownload>& active,
                              const DownloadFinishedInfo& info);
LRESULT RelayDownloadStopped(HWND mainWnd, std::vector<ActiveDownload>& active,
                             const DownloadStoppedInfo& info);
LRESULT ShowFinishedPopup(HWND mainWnd, int itemId, int kind);

// Records every running download as stopped in the local lists (at exit).
void RecordStoppedDownloads(const std::vector<ActiveDownload>& active);

// Calls the page function named in the block on the content page.
void RunPageScriptRequest(std::unique_ptr<PageCallRequest> request);
