// The configuration load at start-up: required files, the installer's merge
// file, the settings kept in the module state, the download concurrency, the
// Run value, the download folders and the first-run date stamp.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// Results of LoadConfiguration.
enum ConfigurationResult {
    kConfigOk = 0,
    kConfigMissingFile = 1,
    kConfigPathUnreadable = 2,
    kConfigFolderFailed = 3,
};

int LoadConfiguration();

// Merges [DownLoad] Path and [Common] AutoStart of the plain file temp into
// the scrambled file ini. Only keys present in temp with a value are
// written, and a Path only when it is a download root the next start can
// use as it stands (one too long to read is not read); temp is deleted once
// every one of them was written, and kept otherwise. True when temp was
// deleted.
bool MergeInstallerSettings(const CString& temp, const CString& ini);

// Finishes or undoes a change of the download folder that a kill or a
// failed undo left unended (see CFolderMove), and shows the user what it
// could not put right. Run by LoadConfiguration before it reads the root.
void FinishFolderMoveAtStart(const CString& programDir);

// The date text of a local date: year|month|day without leading zeros.
CString DateStampText(const SYSTEMTIME& date);

// The message shown for a failed load, or "" for kConfigOk.
CString ConfigurationErrorText(int result, const CString& downloadDir);
