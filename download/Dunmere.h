// The download library Dunmere.dll as the main program sees it: the exported
// functions, the window messages the library sends to the window given to
// InitDll, and the records those messages carry.
//
// Strings cross the boundary as CString by value: each call hands the
// library one reference per string argument, released by the time the call
// returns. Both modules are built with the same compiler and the same
// CString, which allocates from the process heap.
#pragma once

#include "base/RefString.h"

#include <windows.h>

#include <cstddef>

// Messages, sent with SendMessageW: wParam points to the record, lParam is 0.
// The record belongs to the sending library thread and lives only for the
// call; the receiver copies what it keeps. For the call the library holds the
// record in a table of its own memory, under the window, the message and the
// record's kind: a receiver reads only a record that TakeDownloadRecord
// confirms, and ignores the message otherwise (another process may send
// these numbers with any wParam, and read or set anything on the window).
constexpr UINT WM_DOWNLOAD_PROGRESS = 0x8105; // DownloadProgressInfo, every 100 ms of a task
constexpr UINT WM_DOWNLOAD_FINISHED = 0x8107; // DownloadFinishedInfo, once the target file is there
constexpr UINT WM_DOWNLOAD_STOPPED = 0x8108;  // DownloadStoppedInfo, once a stopped task has ended

struct DownloadProgressInfo {
    int percent;       // share of the file present, 0 to 99
    float speedKBps;   // kilobytes per second over the last 100 ms
    CString fileTitle; // the URL's file name without its extension
    int param;         // the number given with the task
};

struct DownloadFinishedInfo {
    CString url; // the task's URL exactly as queued
    int param;
};

struct DownloadStoppedInfo {
    CString fileTitle;
    int param;
};

static_assert(sizeof(CString) == sizeof(void*), "CString is one pointer");
#if defined(__i386__) || defined(_M_IX86)
// The 32-bit layout both deliverables rely on: four-byte fields in order.
static_assert(offsetof(DownloadProgressInfo, percent) == 0 &&
                  offsetof(DownloadProgressInfo, speedKBps) == 4 &&
                  offsetof(DownloadProgressInfo, fileTitle) == 8 &&
                  offsetof(DownloadProgressInfo, param) == 12 && sizeof(DownloadProgressInfo) == 16,
              "DownloadProgressInfo layout");
static_assert(offsetof(DownloadFinishedInfo, url) == 0 && offsetof(DownloadFinishedInfo, param) == 4 &&
                  sizeof(DownloadFinishedInfo) == 8,
              "DownloadFinishedInfo layout");
static_assert(offsetof(DownloadStoppedInfo, fileTitle) == 0 && offsetof(DownloadStoppedInfo, param) == 4 &&
                  sizeof(DownloadStoppedInfo) == 8,
              "DownloadStoppedInfo layout");
#endif

// The kind of each record, as TakeDownloadRecord is asked for it.
template <typename Record> constexpr UINT kDownloadRecordKind = 0;
template <> constexpr UINT kDownloadRecordKind<DownloadProgressInfo> = 1;
template <> constexpr UINT kDownloadRecordKind<DownloadFinishedInfo> = 2;
template <> constexpr UINT kDownloadRecordKind<DownloadStoppedInfo> = 3;

extern "C" {

// Stores the window that receives the messages; a later call replaces it.
// Messages sent before the first call are lost. Always true.
bool __cdecl InitDll(HWND hwnd);

// Sets how many queued tasks may download at once when 1 <= n <= 10 (2 at
// load); other values are ignored. Returns n either way.
int __cdecl ChangeDownFileNum(int n);

// Queues url for download into folder (which ends with a path separator;
// the file keeps the URL's last path segment as its name), unless the same
// URL is queued already, then starts a waiting task if a place is free.
// Returns what the queue looks like: 0 empty, 1 a task was started, 2 every
// place is taken, 3 nothing is waiting.
int __cdecl DownLoadByTask(CString url, CString folder, int param);

// Downloads url into folder on the calling thread, outside the queue: up to
// nine attempts, one after the other. Sends no message. True when the file
// was written.
bool __cdecl DownLoadForSingle(CString url, CString folder);

// Stops the task of this URL on a thread of its own and removes it from the
// queue; WM_DOWNLOAD_STOPPED follows. 1 when that thread was started, 0 when
// it could not be.
int __cdecl PauseDownload(CString url);

// True once for the record the library is sending now to hwnd with message,
// of this kind, at the address wParam, when asked on hwnd's thread (from the
// window's procedure); the record is then the receiver's to read for the
// rest of the call. False for anything else.
bool __cdecl TakeDownloadRecord(HWND hwnd, UINT message, UINT kind, WPARAM wParam);
}

// The record behind wParam of one of the library's messages to hwnd, or null
// when the library is not sending that record to this window now.
template <typename Record> const Record* DownloadRecord(HWND hwnd, UINT message, WPARAM wParam)
{
    static_assert(kDownloadRecordKind<Record> != 0, "one of the three records");
    return TakeDownloadRecord(hwnd, message, kDownloadRecordKind<Record>, wParam)
               ? reinterpret_cast<const Record*>(wParam)
               : nullptr;
}

// Exported for callers that name it; it holds nothing.
class CDownLoadFile {
public:
    CDownLoadFile& operator=(const CDownLoadFile& other);
};
