// The local pages of downloaded items page through the lists: a count that
// fixes the page size, pages of the items' records, and the states of given
// items for the catalogue pages.
#pragma once

#include "base/RefString.h"

// Filters: 1 finished items, 2 items with a progress value, 3 every item.
// "pages|items" ("0|0" when there is nothing); remembers the page size, the
// item count and the page count for the pages that follow. Size 0 makes one
// page of everything.
CString GetDownloadPageCount(int pageSize, int filter, int kind);

// The records of page (from 1) joined with ",", ranged by the last count
// whatever list or filter it came from; pages past the last give the last.
// "$imageiniboot$" becomes the download root with forward slashes.
CString LoadDownloadPage(int page, int filter, int kind);

// For the ids (joined with ","), in order, the listed ones' states:
// {"gid":"..","status":".."} with "progress" for items not finished, joined
// with ",". Ids without an entry, without a status digit after "status": or
// with a digit above 6 give nothing.
CString GetLocalItemStates(const CString& ids, int kind);
