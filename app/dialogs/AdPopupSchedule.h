// The news and advertising pop-ups: waiting for the network, asking the web
// site whether and when to show them, the once-a-day marks in
// "Config\ad.ini", and opening the windows.
#pragma once

#include <windows.h>

#include <vector>

#include "base/RefString.h"

// Kinds of the state query.
constexpr int kAdStateNews = 0;
constexpr int kAdStateStart = 1;
// Kinds of ScheduleAdPopup.
constexpr int kSchedulePopupNews = 0;
constexpr int kSchedulePopupMin = 1;
// Kinds of ShowWebPopup.
constexpr int kWebPopupNews = 0;
constexpr int kWebPopupAd = 1;

// <program folder>"Config\ad.ini".
CString AdSettingsFile();
// Today as (month * 100 + day of month), local time.
int TodayDayMark();

// False when it claims today now: today differs from the stored mark and show
// is exactly "1" (the mark is then stored). True otherwise.
bool TakeDayStamp(const CString& key, const CString& file, const CString& show);
void SaveDayStamp(int mark, const CString& key, const CString& file);

// Asks the web site's state address of a kind (0 news, 1 start); true for a
// well-formed reply, whose stored values are then written to
// "Config\ad.ini". show and delay are set when the pop-up is due.
bool ParseAdStateReply(const CString& url, int& show, int& delay, int kind);
// Asks for a pop-up's size and page; true for a well-formed reply.
bool ParsePopupReply(const CString& url, int& width, int& height, CString& page);

// Asks the state of a kind at the address and arms the kind's main-window
// timer (12 news, 14 start) when the pop-up is due.
void QueryAdState(HWND mainWnd, int kind, const CString& url);
// QueryAdState at the web site's state address of the kind.
void QueryAdStateThread(HWND mainWnd, int kind);

// The waits after each failed probe, in milliseconds; one probe per entry.
std::vector<DWORD> NetworkProbeSchedule();
// True when the system is connected and the address can be reached.
bool NetworkIsUp(const CString& probeUrl);
// Probes the address by the schedule; true as soon as the network is up,
// false once every probe failed (after the last wait).
bool WaitForNetwork(const CString& probeUrl, const std::vector<DWORD>& waits);
// Waits for the network, then marks the program online, arms the run report
// and starts the state queries of the enabled kinds. Runs on its own thread.
void WaitForNetworkThread(HWND mainWnd);

// On hiding to the tray: arms the main window's timer of a kind (0 news on
// hide, 1 min) when the server enabled it and today is not yet claimed.
void ScheduleAdPopup(HWND mainWnd, int kind);

// Asks the web site on a worker thread for a pop-up of the type ("news",
// "start", "min") and opens it (ShowWebPopup) in this thread's message loop
// when one is due, unless the main window is gone or a window of the kind
// opened meanwhile. The second form asks the address given. False when no
// worker could be started.
bool RequestWebPopup(HWND mainWnd, const wchar_t* type, UINT layoutId, int kind);
bool RequestWebPopupAt(HWND mainWnd, const CString& url, UINT layoutId, int kind);

// Opens the news (kind 0) or advertising (kind 1) window with the page, from
// its layout; it shows itself after its timer. The kind's flag is set only
// when the window was made.
void ShowWebPopup(int width, int height, const CString& page, UINT layoutId, int kind);
