#include "skin/SkWinManager.h"

#include <atomic>

namespace {

std::atomic<SkWinManager*> g_manager{nullptr};

} // namespace

SkWinManager::SkWinManager()
{
    SkWinManager* none = nullptr;
    g_manager.compare_exchange_strong(none, this);
}

SkWinManager::~SkWinManager()
{
    SkWinManager* self = this;
    g_manager.compare_exchange_strong(self, nullptr);
}

SkWinManager* SkWinManager::Instance() noexcept
{
    return g_manager.load();
}

HWND SkWinManager::SetActiveDialog(HWND hwnd)
{
    CCriticalSectionLock lock(m_mapLock);
    const DWORD thread = GetCurrentThreadId();
    HWND previous = nullptr;
    auto found = m_activeDialogs.find(thread);
    if (found != m_activeDialogs.end()) {
        previous = found->second;
        if (hwnd)
            found->second = hwnd;
        else
            m_activeDialogs.erase(found);
    } else if (hwnd) {
        m_activeDialogs.emplace(thread, hwnd);
    }
    return previous;
}

HWND SkWinManager::GetActiveDialog()
{
    CCriticalSectionLock lock(m_mapLock);
    auto found = m_activeDialogs.find(GetCurrentThreadId());
    return found != m_activeDialogs.end() ? found->second : nullptr;
}

CSkPaintLock::CSkPaintLock() noexcept : m_manager(SkWinManager::Instance())
{
    if (m_manager)
        m_manager->PaintLock().Enter();
}

CSkPaintLock::~CSkPaintLock()
{
    if (m_manager)
        m_manager->PaintLock().Leave();
}
