#include "skin/SkItemRelease.h"

#include "skin/SkWindow.h"

namespace {

using ItemList = std::vector<std::unique_ptr<CSkWindow>>;

// Items belong to the thread that made them, so each thread keeps its own
// count of open scopes and its own retired items. Both are plain values,
// with nothing to destroy at thread or process exit: items can still be
// destroyed during the process's static destruction, after any
// thread_local object of the thread is gone. The retired lists exist only while
// items wait in them. Whole lists are kept, so that a loop still walking
// one of them (a panel placing its children) stays on valid memory.
thread_local int t_depth = 0;
thread_local std::vector<ItemList>* t_retired = nullptr;

} // namespace

CSkItemUseScope::CSkItemUseScope() noexcept
{
    ++t_depth;
}

CSkItemUseScope::~CSkItemUseScope()
{
    if (--t_depth > 0)
        return;
    // Freeing a container retires its children into a new list, which the
    // scopes opened meanwhile free themselves; the loop makes sure that no
    // list is left.
    while (t_retired) {
        std::unique_ptr<std::vector<ItemList>> lists(t_retired);
        t_retired = nullptr;
    }
}

void ReleaseSkItems(std::vector<std::unique_ptr<CSkWindow>> items)
{
    for (auto& item : items)
        item->Retire();
    if (t_depth == 0 || items.empty())
        return; // freed here and now
    if (!t_retired)
        t_retired = new std::vector<ItemList>;
    t_retired->push_back(std::move(items));
}
