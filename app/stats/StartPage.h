// The browser's start page: the list of the web site's own pages, the page
// now set in the registry, and writing ours in its place.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "base/RefString.h"

struct StartPageChoice {
    CString defaultUrl; // the page the web site marks as the default
    CString chosenUrl;  // the page that replaces the current one, or empty
    BYTE fromUser = 0;  // 1: read from HKEY_CURRENT_USER, 0: from HKEY_LOCAL_MACHINE
    // (url, flag) in reply order: flag "1" one of ours, anything else a
    // marker that, found in the current page, picks this url.
    std::vector<std::pair<CString, CString>> candidates;
};

// Fills the list from a reply of "/api.php?op=gethome_box&act=gethome".
void ParseStartPageList(const CString& reply, StartPageChoice& choice);
// The web site's address of the list.
CString StartPageListUrl();
// Asks for the list at the address and parses it; no reply leaves it empty.
// It waits for the reply: call it on a worker thread.
void FetchStartPageList(const CString& url, StartPageChoice& choice);
// 1 when the browser's start page is already one of ours (or unknown), else
// 0, with chosenUrl set when a marker picked a page.
int ReadCurrentStartPage(StartPageChoice& choice);
// Writes chosenUrl, else defaultUrl, where the current page was read. False
// when there is nothing to write or the write fails.
bool WriteStartPage(const StartPageChoice& choice);
// The set-home pop-up's "确定": fetches the list afresh and writes the page,
// waiting for the reply (the second form asks the list's address).
void ApplyStartPage(const CString& listUrl);
void ApplyStartPage();
// ApplyStartPage on a worker thread; false when none could be started.
bool ApplyStartPageInBackground();
