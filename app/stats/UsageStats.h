// Usage reports to the web site, the count of active days and the weekly
// start-page reminder. They are called on the UI thread; their requests run
// on worker threads (app/common/BackgroundWork.h). The settings live in
// "Config\common.ini" [Common].
#pragma once

#include <windows.h>

#include "base/RefString.h"

// Sends one event ("hiderun", "normalrun", "showrun", "active1", ...) with the
// installation's channel values, from a worker thread; the reply is ignored.
void ReportAdInfo(const wchar_t* action);

// Counts today as a day items were fetched; the first, third and seventh
// such day are reported.
void CountActiveDay();

// At most once a week (never on the day of installation) offers to set the
// browser's start page when it is not already one of ours. The list is
// fetched on a worker; the pop-up and the check date follow in this thread's
// message loop, unless owner (the main window) is gone by then: the check is
// then made again at the next start.
void RemindSetHomePage(HWND owner);

// Local date as "y|m|d" without leading zeros.
CString DateText(const SYSTEMTIME& time);
// Local month * 100 + day of month.
int DayMark(const SYSTEMTIME& time);
