// The library's records are read only through TakeDownloadRecord: once, by
// the window they are sent to, on its own thread, for their own message and
// kind. A record replayed on another message, a number planted as a window
// property, a second thread or window asking: all get nothing.

#include "download/Dunmere.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct Probe {
    HWND window = nullptr;
    HWND otherWindow = nullptr;
    WPARAM progressRecord = 0; // the address of the first progress record, once it has come
    bool asked = false;
    bool otherMessage = true, otherKind = true, otherWindowTook = true, otherThread = true, second = true;
    bool read = false;
    int percent = -1;
    CString title;
    int refusedFinished = 0;
    int refusedProgress = 0;
    int stopped = 0;
};
Probe g_probe;

void AskAboutTheFirstProgressRecord(HWND hwnd, WPARAM wParam)
{
    Probe& p = g_probe;
    p.asked = true;
    p.progressRecord = wParam;
    p.otherMessage =
        TakeDownloadRecord(hwnd, WM_DOWNLOAD_FINISHED, kDownloadRecordKind<DownloadFinishedInfo>, wParam) ||
        TakeDownloadRecord(hwnd, WM_DOWNLOAD_STOPPED, kDownloadRecordKind<DownloadProgressInfo>, wParam);
    p.otherKind =
        TakeDownloadRecord(hwnd, WM_DOWNLOAD_PROGRESS, kDownloadRecordKind<DownloadFinishedInfo>, wParam);
    p.otherWindowTook = DownloadRecord<DownloadProgressInfo>(p.otherWindow, WM_DOWNLOAD_PROGRESS, wParam);
    std::thread([&p, hwnd, wParam] {
        p.otherThread = DownloadRecord<DownloadProgressInfo>(hwnd, WM_DOWNLOAD_PROGRESS, wParam) != nullptr;
    }).join();
    // Replayed as a finished record while the library still waits: the
    // progress record must not be read as one.
    SendMessageW(hwnd, WM_DOWNLOAD_FINISHED, wParam, 0);
    if (const auto* info = DownloadRecord<DownloadProgressInfo>(hwnd, WM_DOWNLOAD_PROGRESS, wParam)) {
        p.read = true;
        p.percent = info->percent;
        p.title = info->fileTitle;
    }
    p.second = DownloadRecord<DownloadProgressInfo>(hwnd, WM_DOWNLOAD_PROGRESS, wParam) != nullptr;
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Probe& p = g_probe;
    switch (msg) {
    case WM_DOWNLOAD_PROGRESS:
        if (!p.asked)
            AskAboutTheFirstProgressRecord(hwnd, wParam);
        else if (!DownloadRecord<DownloadProgressInfo>(hwnd, msg, wParam))
            ++p.refusedProgress;
        return 1;
    case WM_DOWNLOAD_FINISHED:
        if (!DownloadRecord<DownloadFinishedInfo>(hwnd, msg, wParam))
            ++p.refusedFinished;
        return 0;
    case WM_DOWNLOAD_STOPPED:
        if (DownloadRecord<DownloadStoppedInfo>(hwnd, msg, wParam))
            ++p.stopped;
        return 1;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

HWND MakeProbeWindow()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ProbeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DunmereRecordProbe";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                           nullptr);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= end)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

} // namespace

TEST(DownloadRecords, AreReadOnlyByTheirWindowForTheirMessageAndKindOnce)
{
    CTestServer& server = CTestServer::Instance();
    CTempFolder folder;
    server.PutFile("/records/slow.zip", TestBytes(1 << 20, 7));
    server.AddRoute(R"({"path": "/records/slow.zip", "rate": 40000})");
    const CString url = server.Url("/records/slow.zip");

    Probe& p = g_probe;
    p.window = MakeProbeWindow();
    p.otherWindow =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(p.window && p.otherWindow);
    InitDll(p.window);
    ASSERT_EQ(DownLoadByTask(url, folder.Path(), 1), 1);
    ASSERT_TRUE(PumpUntil([&] { return p.asked; })) << "a progress message";

    EXPECT_FALSE(p.otherMessage) << "a progress record given to another message";
    EXPECT_FALSE(p.otherKind) << "a progress record asked for as another kind";
    EXPECT_FALSE(p.otherWindowTook) << "taken for another window";
    EXPECT_FALSE(p.otherThread) << "taken on another thread";
    EXPECT_EQ(p.refusedFinished, 1) << "the replay as a finished record";
    ASSERT_TRUE(p.read) << "the window's own record";
    EXPECT_GT(p.percent, 0);
    EXPECT_LT(p.percent, 100);
    EXPECT_EQ(p.title, L"slow");
    EXPECT_FALSE(p.second) << "taken twice";

    // What another process can do with the address and the window: send it
    // again, or plant it (or any number) under the former mark's name.
    const int refusedBefore = p.refusedProgress;
    SetPropW(p.window, L"Dunmere.Record", reinterpret_cast<HANDLE>(p.progressRecord));
    SendMessageW(p.window, WM_DOWNLOAD_PROGRESS, p.progressRecord, 0);
    SetPropW(p.window, L"Dunmere.Record", reinterpret_cast<HANDLE>(0x10));
    SendMessageW(p.window, WM_DOWNLOAD_PROGRESS, 0x10, 0);
    SendMessageW(p.window, WM_DOWNLOAD_FINISHED, 0x10, 0);
    RemovePropW(p.window, L"Dunmere.Record");
    EXPECT_EQ(p.refusedProgress - refusedBefore, 2);
    EXPECT_EQ(p.refusedFinished, 2);

    // The library's own messages still get through.
    ASSERT_EQ(PauseDownload(url), 1);
    EXPECT_TRUE(PumpUntil([&] { return p.stopped == 1; })) << "the stopped message";
    EXPECT_EQ(p.refusedProgress - refusedBefore, 2) << "every later progress record of the library was read";
    InitDll(nullptr);
    DestroyWindow(p.otherWindow);
    DestroyWindow(p.window);
}
