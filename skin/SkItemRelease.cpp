#include "skin/SkItemRelease.h"

#include "skin/SkWindow.h"

namespace {

using ItemList = std::vector<std::unique_ptr<CSkWindow>>;

// Items belong to the thread that made them, so each thread keeps its own.
struct RetiredItems {
    int depth = 0;
    // Whole lists are kept, so that a loop still walking one of them (a
    // panel placing its children) stays on valid memory.
    std::vector<ItemList> lists;
};

RetiredItems& ThreadRetiredItems()
{
    thread_local RetiredItems retired;
    return retired;
}

} // namespace

CSkItemUseScope::CSkItemUseScope() noexcept
{
    ++ThreadRetiredItems().depth;
}

CSkItemUseScope::~CSkItemUseScope()
{
    RetiredItems& retired = ThreadRetiredItems();
    if (--retired.depth > 0)
        return;
    // Freeing runs no item code that could retire more, but take the lists
    // out first all the same.
    while (!retired.lists.empty()) {
        std::vector<ItemList> lists;
        lists.swap(retired.lists);
    }
}

void ReleaseSkItems(std::vector<std::unique_ptr<CSkWindow>> items)
{
    for (auto& item : items)
        item->Retire();
    RetiredItems& retired = ThreadRetiredItems();
    if (retired.depth > 0 && !items.empty())
        retired.lists.push_back(std::move(items));
}
