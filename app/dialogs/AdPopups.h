// Usage reports and the start-page reminder.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// Reports a run of the program ("hiderun", "normalrun", "showrun").
void ReportAdInfo(const wchar_t* action);

// Reminds the user, at most now and then, to set the browser's start page.
void RemindSetHomePage();
