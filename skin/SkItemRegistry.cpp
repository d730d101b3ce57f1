#include "skin/SkItemRegistry.h"

SkItemRegistry& SkItemRegistry::Instance()
{
    // Never freed: items may be destroyed during the process's static
    // destruction, after any static registry would be gone.
    static SkItemRegistry* registry = new SkItemRegistry;
    return *registry;
}

UINT SkItemRegistry::Register(CSkWindow* item)
{
    CCriticalSectionLock lock(m_lock);
    const UINT handle = ++m_lastHandle;
    m_items[handle] = item;
    return handle;
}

void SkItemRegistry::Unregister(UINT handle)
{
    CCriticalSectionLock lock(m_lock);
    m_items.erase(handle);
}

CSkWindow* SkItemRegistry::Find(UINT handle)
{
    CCriticalSectionLock lock(m_lock);
    auto found = m_items.find(handle);
    return found == m_items.end() ? nullptr : found->second;
}

UINT RegisterSkWindow(CSkWindow* item)
{
    return SkItemRegistry::Instance().Register(item);
}

CSkWindow* FindSkWindow(UINT handle)
{
    return SkItemRegistry::Instance().Find(handle);
}
