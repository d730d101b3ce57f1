// The window that hears about queued downloads, and the three messages sent
// to it. Each send uses a record of its own on the sending thread's stack,
// recorded in this library's table of blocks in flight for the call
// (base/MarkedSend.h); the sends go one at a time.
#pragma once

#include "base/RefString.h"

#include <windows.h>

void SetNotifyWindow(HWND hwnd) noexcept;

void SendProgress(int percent, float speedKBps, const CString& fileTitle, int param);
void SendFinished(const CString& url, int param);
void SendStopped(const CString& fileTitle, int param);

// The receivers' question, TakeDownloadRecord (download/Dunmere.h), is
// answered here from the same table.
