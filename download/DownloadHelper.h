// The download queue: starts at most a set number of queued tasks at once,
// runs each on a worker that repeats download attempts until the target file
// is there, and stops tasks on request.
#pragma once

#include "download/Thread.h"

#include <atomic>

// What a scheduling pass found.
enum SchedulerCode {
    kQueueEmpty = 0,
    kTaskStarted = 1, // also when its worker could not be created; it then stays waiting
    kQueueFull = 2,
    kNothingWaiting = 3,
};

constexpr int kMinRunning = 1;
constexpr int kMaxRunning = 10;
constexpr int kTaskParts = 3;
constexpr DWORD kFinishDelayMs = 2000;
constexpr DWORD kRetryDelayMs = 10000;

using CompletionHandler = void (*)(const CString& url, int param);

class DownloadHelper : public Thread {
public:
    // Ignored unless 1 <= n <= 10.
    void SetMaxRunning(int n) noexcept;
    void SetCompletionHandler(CompletionHandler handler) noexcept { m_completion = handler; }

    // Starts the first waiting task when fewer than the maximum are running.
    int StartNextTasks();

    // Stops the task of this URL: a waiting one at once, a running one once
    // its worker has ended, its blocked receives woken. Either way
    // WM_DOWNLOAD_STOPPED is sent while the task is still queued, so that the
    // same URL cannot be queued again from its handler; then the task leaves
    // the queue and its place goes to the next waiting task.
    void StopTask(const CString& url);

    void Run(const DownloadTaskPtr& task) override;

    // The target is there as a regular file (a URL whose last segment names
    // no file never has one).
    static bool IsFileDownloaded(const DownloadTask& task);

private:
    void FinishTask(const DownloadTaskPtr& task);

    std::atomic<int> m_maxRunning{2};
    std::atomic<CompletionHandler> m_completion{nullptr};
};
