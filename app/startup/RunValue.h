// The Run value under HKEY_LOCAL_MACHINE that starts the program with
// Windows, hidden in the tray.
#pragma once

#include <windows.h>

#include "base/RefString.h"

extern const wchar_t kRunKey[];
extern const wchar_t kRunValueName[];

// The command text: the quoted program path and " -autorun".
CString RunCommandText(const CString& programPath);

// Writes, keeps or deletes the Run value so that it matches autostart (1
// on); the result of the last registry call made (0, 1 or 2).
int SyncAutoRun(int autostart);

// 0 read, 1 key not opened, 2 value not read (absent, not a string, or
// longer than 249 characters).
int ReadHklmString(const wchar_t* subkey, const wchar_t* valueName, CString& out);
// 0 written, 1 key not opened, 2 value not written.
int WriteRunValue(const CString& command);
// 0 deleted, 1 key not opened, 2 not deleted.
int DeleteRunValue();
