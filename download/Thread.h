// The download queue's base: the list of queued tasks, in the order they
// were added, and the worker body each started task runs.
#pragma once

#include "base/CriticalSection.h"
#include "base/Handle.h"
#include "base/RefString.h"
#include "download/SocketWatch.h"

#include <atomic>
#include <list>
#include <memory>

struct DownloadTask {
    DownloadTask(const CString& url, const CString& folder, int param);

    const CString url; // the task's identity, compared exactly
    const CString folder;
    const int param;
    CHandle worker;                   // set once, under the queue's lock, when the task starts
    CHandle stopEvent;                // set when the task is being stopped; wakes its pauses
    CSocketWatch sockets;             // tripped when the task is being stopped; wakes its receives
    std::atomic<bool> started{false}; // also set on a waiting task that is being stopped
    std::atomic<bool> active{false};
};

using DownloadTaskPtr = std::shared_ptr<DownloadTask>;

class Thread {
public:
    Thread() = default;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    virtual ~Thread() = default;

    // The body of a task's worker thread.
    virtual void Run(const DownloadTaskPtr& task) = 0;

    // Appends the task unless one with the same URL is queued.
    bool AddTask(const CString& url, const CString& folder, int param);
    bool IsTaskQueued(const CString& url);

protected:
    void ThreadEntry(const DownloadTaskPtr& task) { Run(task); }
    bool HoldsTask(const DownloadTaskPtr& task);
    void RemoveTask(const DownloadTaskPtr& task);
    DownloadTaskPtr FindTask(const CString& url); // call under m_lock

    CCriticalSection m_lock; // guards m_tasks and the scheduling pass
    std::list<DownloadTaskPtr> m_tasks;
};
