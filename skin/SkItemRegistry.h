// The process-wide registry of skin items: every item gets a handle here,
// and items, views and dialogs find one another by handle only, so an item
// that is gone is simply not found. The registry also keeps the radio groups.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "base/CriticalSection.h"

class CSkWindow;
class CSkRadioBox;

class SkItemRegistry {
public:
    SkItemRegistry(const SkItemRegistry&) = delete;
    SkItemRegistry& operator=(const SkItemRegistry&) = delete;

    // Made on first use and kept until the process ends.
    static SkItemRegistry& Instance();

    // A new handle (1, 2, ...) mapped to the item.
    UINT Register(CSkWindow* item);
    void Unregister(UINT handle);
    // The item of that handle, or null.
    CSkWindow* Find(UINT handle);

    // The lock that guards the items and the radio groups; hold it for the
    // whole of any work on RadioGroups().
    CCriticalSection& Lock() noexcept { return m_lock; }
    // Group name to its boxes in the order they joined; the boxes are not
    // owned here.
    std::unordered_map<std::string, std::vector<CSkRadioBox*>>& RadioGroups() noexcept
    {
        return m_radioGroups;
    }

private:
    SkItemRegistry() = default;

    CCriticalSection m_lock;
    std::unordered_map<UINT, CSkWindow*> m_items;
    UINT m_lastHandle = 0;
    std::unordered_map<std::string, std::vector<CSkRadioBox*>> m_radioGroups;
};

UINT RegisterSkWindow(CSkWindow* item);
CSkWindow* FindSkWindow(UINT handle);
