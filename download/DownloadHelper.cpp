#include "download/DownloadHelper.h"

#include "base/Thread.h"
#include "download/HttpGet.h"
#include "download/Notify.h"
#include "download/PartFile.h"
#include "download/Progress.h"
#include "download/UrlParts.h"

#include <algorithm>

void DownloadHelper::SetMaxRunning(int n) noexcept
{
    if (n >= kMinRunning && n <= kMaxRunning)
        m_maxRunning = n;
}

int DownloadHelper::StartNextTasks()
{
    CCriticalSectionLock lock(m_lock);
    if (m_tasks.empty())
        return kQueueEmpty;
    const int maximum = std::min(std::max(m_maxRunning.load(), kMinRunning), kMaxRunning);
    m_maxRunning = maximum;

    int running = 0;
    for (const DownloadTaskPtr& task : m_tasks) {
        if (task->started && task->active && ++running >= maximum)
            return kQueueFull;
    }
    for (const DownloadTaskPtr& task : m_tasks) {
        if (task->started)
            continue;
        task->started = true;
        task->active = true;
        CHandle worker = StartThread([this, task] { ThreadEntry(task); });
        if (worker) {
            task->worker = std::move(worker);
        } else {
            task->active = false;
            task->started = false;
        }
        return kTaskStarted;
    }
    return kNothingWaiting;
}

void DownloadHelper::StopTask(const CString& url)
{
    DownloadTaskPtr task;
    bool wasWaiting = false;
    bool wasRunning = false;
    {
        CCriticalSectionLock lock(m_lock);
        task = FindTask(url);
        if (task && !task->started) {
            // Started but not active: the scheduler passes it over, and it
            // still counts as queued until its message has gone.
            task->started = true;
            wasWaiting = true;
        } else if (task && task->active.exchange(false)) {
            wasRunning = true;
        }
    }
    if (wasRunning) {
        task->sockets.Trip();
        SetEvent(task->stopEvent);
        WaitForSingleObject(task->worker, INFINITE);
    }
    if (wasWaiting || wasRunning) {
        SendStopped(FileTitleOf(url), task->param);
        RemoveTask(task);
    }
    StartNextTasks();
}

void DownloadHelper::Run(const DownloadTaskPtr& task)
{
    auto record = std::make_shared<ProgressRecord>();
    record->url = task->url;
    record->param = task->param;
    if (!HoldsTask(task))
        return;
    record->active = &task->active;
    const CHandle progress = StartThread([record, task] { ProgressThreadProc(*record, task->stopEvent); });

    AttemptState state{record->counter, record->total};
    while (task->active) {
        record->counter = 0;
        HttpDownLoad(task->url, task->folder, state, kTaskParts, task->active, &task->sockets);
        if (!task->active)
            break;
        if (IsFileDownloaded(*task)) {
            // Whoever clears the flag first decides: this worker (finished)
            // or a stop that came at the same moment (stopped).
            if (task->active.exchange(false))
                FinishTask(task);
            break;
        }
        if (WaitForStop(task->stopEvent, kRetryDelayMs))
            break;
    }
    if (progress)
        WaitForSingleObject(progress, INFINITE);
}

void DownloadHelper::FinishTask(const DownloadTaskPtr& task)
{
    Sleep(kFinishDelayMs);
    if (const CompletionHandler handler = m_completion.load())
        handler(task->url, task->param);
    RemoveTask(task);
}

bool DownloadHelper::IsFileDownloaded(const DownloadTask& task)
{
    const CString name = UrlFileName(task.url);
    return IsPlainFileName(name) && ExistingFileSize(task.folder + name) >= 0;
}
