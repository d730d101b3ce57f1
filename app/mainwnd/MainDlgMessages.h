// The main window's private messages and timers. Other threads, other parts
// of the program and a second instance reach the user interface through
// them. The download library's three messages (download/Dunmere.h) lie in
// the same range.
#pragma once

#include <windows.h>

#include "app/browser/BrowserMessages.h"
#include "base/ComPtr.h"
#include "base/RefString.h"
#include "download/Dunmere.h"

// 0x8103 WM_MENU_NAVIGATE: the left menu page asks for a link (app/browser/BrowserMessages.h).
// Opens an address in the content page: wParam a ListNavigateRequest made by
// PostListNavigate (a block this window did not record is left alone).
constexpr UINT WM_LIST_NAVIGATE = 0x8104;
// 0x8105 WM_DOWNLOAD_PROGRESS, 0x8107 WM_DOWNLOAD_FINISHED, 0x8108 WM_DOWNLOAD_STOPPED:
// the download library's records, read only when the library confirms them
// (download/Dunmere.h).
// A request to download an item: wParam item id, lParam list kind (a second
// instance sends it). 0 when taken, 1 when either is not above 0.
constexpr UINT WM_DOWNLOAD_ITEM = 0x8109;
// Shows the download-finished pop-up: wParam item id, lParam kind.
constexpr UINT WM_SHOW_FINISHED_POPUP = 0x810A;
// A deferred page call: wParam a PageCallRequest made by PostPageCall.
constexpr UINT WM_PAGE_CALL = 0x810B;
// Selects a tab of the tab strip: wParam the tab index.
constexpr UINT WM_SELECT_TAB = 0x810C;
// Shows a page of a tab: wParam tab index (above 0), lParam page number.
constexpr UINT WM_SHOW_TAB_PAGE = 0x810F;

// The tray icon's callback message.
constexpr UINT WM_TRAY_NOTIFY = 0x4B4;

// Timers of the main window; each handler kills its own timer first.
constexpr UINT_PTR TIMER_STARTUP = 10;
constexpr UINT_PTR TIMER_UPDATE_CHECK = 11;
constexpr UINT_PTR TIMER_NEWS_POPUP = 12;
constexpr UINT_PTR TIMER_NEWS_REPEAT = 13;
constexpr UINT_PTR TIMER_START_POPUP = 14;
constexpr UINT_PTR TIMER_MIN_POPUP = 15;
constexpr UINT_PTR TIMER_RUN_REPORT = 16;
constexpr UINT_PTR TIMER_SHOW_REPORT = 17;
// Set at initialisation for the work that the window's first paint does not
// need: a timer comes only once no window of the thread is left to paint.
constexpr UINT_PTR TIMER_AFTER_FIRST_PAINT = 18;

// The heap block of WM_LIST_NAVIGATE: an address for the content page and
// what goes with its navigation.
struct ListNavigateRequest {
    CString url;
    CComVariant flags;
    CComVariant postData;
    CComVariant targetFrame;
    CComVariant headers;
};

// The heap block of WM_PAGE_CALL: a page function and its one argument.
struct PageCallRequest {
    CString functionName;
    CString argument;
};

// A download that has reported progress and has not finished or stopped.
struct ActiveDownload {
    CString fileTitle;
    int percent = 0;
    int kind = 0;
};
