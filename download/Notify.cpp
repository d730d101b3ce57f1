#include "download/Notify.h"

#include "download/Dunmere.h"

#include "base/MarkedSend.h"

#include <atomic>

namespace {

std::atomic<HWND> g_notifyWindow{nullptr};

// Until a window is set there is nobody to tell: the message is dropped.
template <typename Record> void Send(UINT message, const Record& record)
{
    if (const HWND hwnd = g_notifyWindow.load())
        SendMarked(hwnd, message, kDownloadRecordKind<Record>, &record);
}

} // namespace

void SetNotifyWindow(HWND hwnd) noexcept
{
    g_notifyWindow = hwnd;
}

void SendProgress(int percent, float speedKBps, const CString& fileTitle, int param)
{
    DownloadProgressInfo record{percent, speedKBps, fileTitle, param};
    Send(WM_DOWNLOAD_PROGRESS, record);
}

void SendFinished(const CString& url, int param)
{
    DownloadFinishedInfo record{url, param};
    Send(WM_DOWNLOAD_FINISHED, record);
}

void SendStopped(const CString& fileTitle, int param)
{
    DownloadStoppedInfo record{fileTitle, param};
    Send(WM_DOWNLOAD_STOPPED, record);
}

extern "C" bool __cdecl TakeDownloadRecord(HWND hwnd, UINT message, UINT kind, WPARAM wParam)
{
    return TakeMark(hwnd, message, kind, wParam);
}
