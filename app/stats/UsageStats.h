// Usage reports to the web site, the count of active days and the weekly
// start-page reminder. All of it runs on the UI thread; the settings live in
// "Config\common.ini" [Common].
#pragma once

#include <windows.h>

#include "base/RefString.h"

// Sends one event ("hiderun", "normalrun", "showrun", "active1", ...) with the
// installation's channel values. Waits for the reply and ignores it.
void ReportAdInfo(const wchar_t* action);

// Counts today as a day items were fetched; the first, third and seventh
// such day are reported.
void CountActiveDay();

// At most once a week (never on the day of installation) offers to set the
// browser's start page when it is not already one of ours.
void RemindSetHomePage();

// Local date as "y|m|d" without leading zeros.
CString DateText(const SYSTEMTIME& time);
// Local month * 100 + day of month.
int DayMark(const SYSTEMTIME& time);
