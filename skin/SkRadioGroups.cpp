#include "skin/SkRadioGroups.h"

#include <algorithm>
#include <vector>

#include "skin/SkItemRegistry.h"
#include "skin/SkItemRepaint.h"
#include "skin/SkRadioBox.h"

void RegisterRadio(const std::string& group, CSkRadioBox* box)
{
    SkItemRegistry& registry = SkItemRegistry::Instance();
    CCriticalSectionLock lock(registry.Lock());
    registry.RadioGroups()[group].push_back(box);
}

void UnregisterRadio(const std::string& group, CSkRadioBox* box)
{
    SkItemRegistry& registry = SkItemRegistry::Instance();
    CCriticalSectionLock lock(registry.Lock());
    std::vector<CSkRadioBox*>& boxes = registry.RadioGroups()[group];
    boxes.erase(std::remove(boxes.begin(), boxes.end(), box), boxes.end());
}

void SelectRadio(const std::string& group, CSkRadioBox* box)
{
    SkItemRegistry& registry = SkItemRegistry::Instance();
    std::vector<UINT> unchecked;
    {
        CCriticalSectionLock lock(registry.Lock());
        box->m_state |= SKS_CHECKED;
        for (CSkRadioBox* other : registry.RadioGroups()[group]) {
            if (other == box || !(other->m_state & SKS_CHECKED))
                continue;
            other->m_state &= ~SKS_CHECKED;
            unchecked.push_back(other->m_handle);
        }
    }
    // By handle: a box destroyed meanwhile is simply not found.
    for (UINT handle : unchecked)
        if (CSkWindow* other = FindSkWindow(handle))
            InvalidateItemRect(other->m_rect, *other);
}
