#include "skin/SkFileIconCache.h"

#include <shellapi.h>
#include <shlwapi.h>

SkFileIconCache& SkFileIconCache::Instance()
{
    // Lives until the process ends, with the icons.
    static SkFileIconCache* cache = new SkFileIconCache();
    return *cache;
}

HICON SkFileIconCache::GetIcon(const wchar_t* path)
{
    if (!path)
        return nullptr;
    // The shell is asked under the lock, so that two threads asking for the
    // same path get the same icon and no second one is made.
    CCriticalSectionLock lock(m_lock);
    auto found = m_icons.find(path);
    if (found != m_icons.end())
        return found->second;
    if (!PathFileExistsW(path))
        return nullptr;
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_DISPLAYNAME) || !info.hIcon)
        return nullptr;
    m_icons[path] = info.hIcon;
    return info.hIcon;
}

size_t SkFileIconCache::Count()
{
    CCriticalSectionLock lock(m_lock);
    return m_icons.size();
}
