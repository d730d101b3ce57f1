#include "base/MarkedSend.h"

#include "base/CriticalSection.h"

#include <algorithm>
#include <vector>

namespace {

struct BlockInFlight {
    HWND hwnd;
    UINT msg;
    UINT kind;
    const void* block;
    bool taken;
};

// The blocks this module is sending now. It lives as long as the process:
// a library thread may still send while the module's globals go.
class CBlocksInFlight {
public:
    static CBlocksInFlight& Instance()
    {
        static CBlocksInFlight* const table = new CBlocksInFlight;
        return *table;
    }

    CCriticalSection& SendLock() noexcept { return m_sendLock; }

    void Add(const BlockInFlight& entry)
    {
        CCriticalSectionLock hold(m_lock);
        m_entries.push_back(entry);
    }

    void Remove(HWND hwnd, UINT msg, UINT kind, const void* block)
    {
        CCriticalSectionLock hold(m_lock);
        // The innermost of nested sends of the same block is the last one.
        auto found = std::find_if(m_entries.rbegin(), m_entries.rend(), [&](const BlockInFlight& e) {
            return e.hwnd == hwnd && e.msg == msg && e.kind == kind && e.block == block;
        });
        if (found != m_entries.rend())
            m_entries.erase(std::next(found).base());
    }

    bool Take(HWND hwnd, UINT msg, UINT kind, const void* block)
    {
        CCriticalSectionLock hold(m_lock);
        for (auto e = m_entries.rbegin(); e != m_entries.rend(); ++e) {
            if (!e->taken && e->hwnd == hwnd && e->msg == msg && e->kind == kind && e->block == block) {
                e->taken = true;
                return true;
            }
        }
        return false;
    }

private:
    CCriticalSection m_sendLock; // one send at a time, re-entered by a nested send
    CCriticalSection m_lock;     // the entries
    std::vector<BlockInFlight> m_entries;
};

} // namespace

LRESULT SendMarked(HWND hwnd, UINT msg, UINT kind, const void* block)
{
    CBlocksInFlight& table = CBlocksInFlight::Instance();
    CCriticalSectionLock oneAtATime(table.SendLock());
    table.Add(BlockInFlight{hwnd, msg, kind, block, false});
    const LRESULT result = SendMessageW(hwnd, msg, reinterpret_cast<WPARAM>(block), 0);
    table.Remove(hwnd, msg, kind, block);
    return result;
}

bool TakeMark(HWND hwnd, UINT msg, UINT kind, WPARAM wParam)
{
    // The receiver is the window's procedure: on any other thread the
    // question comes from elsewhere.
    if (wParam == 0 || !hwnd || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId())
        return false;
    return CBlocksInFlight::Instance().Take(hwnd, msg, kind, reinterpret_cast<const void*>(wParam));
}
