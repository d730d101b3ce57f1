// Downloading catalogue items: the requests from pages, from a second
// instance and from the pending list at start.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// What the web site tells about an item, its field prefixes removed.
struct ItemInfo {
    CString name;
    CString contentUrl;
    CString imagePath;
    CString gamePath;
    CString jsons;
};

enum class ItemInfoResult { Ok, NoConnection, Failed };

// Reads an item-info reply: " | "-separated, at most six fields (the last
// keeps any " | " of its own), field 0 exactly "success" and all six there.
bool ParseItemInfoReply(const CString& reply, ItemInfo& info);
// The web site's item-info reply for the id (decimal text). False when the
// request failed or the reply was not whole (it did not fit the request's
// 2,000-byte read among others): a record cut short is never used, and
// reply is left as it was.
bool RequestItemReply(const CString& id, CString& reply);
// Asks the web site for the item's record.
ItemInfoResult RequestItemInfo(int itemId, ItemInfo& info);

// The package's address on the download server.
CString PackageUrl(int itemId);
// The preview image's address for the reply's image path.
CString PreviewImageUrl(const CString& imagePath);

// Adds the item to its local list and queues its package; questionKind
// chooses the follow-up question (1 theme, 2 wallpaper). TRUE when added
// and queued.
BOOL AddItemAndDownload(HWND mainWnd, int itemId, int listKind, int questionKind);

// Sets the status digit of the item's entry: false only when the entry has
// a status and the list could not be written (it does not hold the digit
// now); an item that is not listed, or has no status, has nothing to record.
bool RecordItemStatus(int kind, const CString& id, int digit);

// Queues the item's package again and marks it downloading; the queue's
// answer (0 to 3). Nothing is queued, and the answer is kListNotWritten,
// when the item is listed but its new status cannot be written, and
// kItemNotListed when the list has no entry for it (or the entry names no
// package file).
constexpr int kListNotWritten = -1;
constexpr int kItemNotListed = -2;
int StartDownLoadTask(int itemId, int kind);

// Asks the download library to stop the item's download. Always TRUE.
BOOL PauseTask(int itemId);

// Resumes or marks the downloads left pending by the last run. Always 1.
int AutoDownloadPending();

// Downloads one file into the folder on a thread of its own, which gets its
// own copies of both. An address whose last segment is not a safe file name
// is refused (false) and nothing is written.
bool StartSingleDownloadThread(const CString& url, const CString& folder);
