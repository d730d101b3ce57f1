#include "download/Thread.h"

#include <algorithm>

DownloadTask::DownloadTask(const CString& url, const CString& folder, int param)
    : url(url), folder(folder), param(param), stopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

bool Thread::AddTask(const CString& url, const CString& folder, int param)
{
    auto task = std::make_shared<DownloadTask>(url, folder, param);
    CCriticalSectionLock lock(m_lock);
    if (FindTask(url))
        return false;
    m_tasks.push_back(std::move(task));
    return true;
}

bool Thread::IsTaskQueued(const CString& url)
{
    CCriticalSectionLock lock(m_lock);
    return FindTask(url) != nullptr;
}

bool Thread::HoldsTask(const DownloadTaskPtr& task)
{
    CCriticalSectionLock lock(m_lock);
    return std::find(m_tasks.begin(), m_tasks.end(), task) != m_tasks.end();
}

void Thread::RemoveTask(const DownloadTaskPtr& task)
{
    CCriticalSectionLock lock(m_lock);
    m_tasks.remove(task);
}

DownloadTaskPtr Thread::FindTask(const CString& url)
{
    for (const DownloadTaskPtr& task : m_tasks) {
        if (task->url == url)
            return task;
    }
    return nullptr;
}
