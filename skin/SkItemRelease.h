// Destroying items safely while they are in use. An owner notified by an
// item (a click, a tab change, a moved real window) may replace the panel
// that holds the item, and with it the item itself, while the item's code
// is still on the stack. Items destroyed while the thread is inside a use
// scope (every pseudo-message, every message of a view, the helpers by id,
// a tab change) are therefore only retired: taken out of the registry at
// once, so that nothing finds them any more, handling no more
// pseudo-messages, and freed when the outermost scope ends.
#pragma once

#include <memory>
#include <vector>

class CSkWindow;

// Marks a stretch of code that uses an item across a call that may destroy
// it. Scopes nest; the items retired inside are freed when the outermost
// scope of the thread ends.
class CSkItemUseScope {
public:
    CSkItemUseScope() noexcept;
    ~CSkItemUseScope();
    CSkItemUseScope(const CSkItemUseScope&) = delete;
    CSkItemUseScope& operator=(const CSkItemUseScope&) = delete;
};

// Retires the items (their SKM_DESTROY already sent) and frees them now,
// or when the thread's outermost use scope ends.
void ReleaseSkItems(std::vector<std::unique_ptr<CSkWindow>> items);
