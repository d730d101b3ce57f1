// The entries of Dunmere.dll's export table (Dunmere.def lists them), but
// for TakeDownloadRecord, which lives with the sends (Notify.cpp).

#include "download/Dunmere.h"

#include "base/Thread.h"
#include "download/DownloadHelper.h"
#include "download/HttpGet.h"
#include "download/Notify.h"
#include "download/Progress.h"

namespace {

constexpr int kSingleAttempts = 9;

// The queue lives as long as the library; it is built before any export can
// be called and never waits for a thread when it goes.
DownloadHelper g_queue;

void OnTaskFinished(const CString& url, int param)
{
    if (url.IsEmpty())
        return;
    SendFinished(url, param);
    g_queue.StartNextTasks();
}

} // namespace

extern "C" bool __cdecl InitDll(HWND hwnd)
{
    SetNotifyWindow(hwnd);
    return true;
}

extern "C" int __cdecl ChangeDownFileNum(int n)
{
    g_queue.SetMaxRunning(n);
    return n;
}

extern "C" int __cdecl DownLoadByTask(CString url, CString folder, int param)
{
    g_queue.SetCompletionHandler(&OnTaskFinished);
    g_queue.AddTask(url, folder, param);
    return g_queue.StartNextTasks();
}

extern "C" bool __cdecl DownLoadForSingle(CString url, CString folder)
{
    std::atomic<uint32_t> counter{0};
    std::atomic<uint32_t> total{kUnknownLength};
    const std::atomic<bool> active{true};
    AttemptState state{counter, total};
    bool downloaded = false;
    for (int attempt = 0; attempt < kSingleAttempts && !downloaded; ++attempt) {
        counter = 0;
        downloaded = HttpDownLoad(url, folder, state, kTaskParts, active);
    }
    return downloaded;
}

extern "C" int __cdecl PauseDownload(CString url)
{
    const bool started = StartDetachedThread([url] {
        if (!url.IsEmpty())
            g_queue.StopTask(url);
    });
    return started ? 1 : 0;
}

CDownLoadFile& CDownLoadFile::operator=(const CDownLoadFile&)
{
    return *this;
}
