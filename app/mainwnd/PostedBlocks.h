// Heap blocks that travel in posted messages. Any process may post any
// message to a window, so a window frees only blocks that this process made
// and recorded for it: the receiver takes a block back out of the record,
// and one it never recorded is left alone. Each block is recorded with the
// window and the message it was posted with, and is taken only by that
// window, on its own thread, for that message.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>
#include <utility>

#include "base/CriticalSection.h"

template <typename T> class CPostedBlocks {
public:
    // Records the block and posts it as wParam; the block is freed here when
    // the post fails.
    bool Post(HWND hwnd, UINT msg, std::unique_ptr<T> block)
    {
        T* raw = block.get();
        {
            CCriticalSectionLock lock(m_lock);
            m_blocks.emplace(raw, InFlight{hwnd, msg, std::move(block)});
        }
        if (PostMessageW(hwnd, msg, reinterpret_cast<WPARAM>(raw), 0))
            return true;
        CCriticalSectionLock lock(m_lock);
        m_blocks.erase(raw);
        return false;
    }

    // The block behind wParam that was posted to hwnd with msg, now owned by
    // the caller, when asked on hwnd's thread; null for anything else (a
    // block this process did not record, or one meant for another window,
    // thread or message, which stays recorded for its own receiver).
    std::unique_ptr<T> Take(HWND hwnd, UINT msg, WPARAM wParam)
    {
        if (!hwnd || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId())
            return nullptr;
        CCriticalSectionLock lock(m_lock);
        auto found = m_blocks.find(reinterpret_cast<T*>(wParam));
        if (found == m_blocks.end() || found->second.hwnd != hwnd || found->second.msg != msg)
            return nullptr;
        std::unique_ptr<T> block = std::move(found->second.block);
        m_blocks.erase(found);
        return block;
    }

private:
    struct InFlight {
        HWND hwnd;
        UINT msg;
        std::unique_ptr<T> block;
    };

    CCriticalSection m_lock;
    std::unordered_map<T*, InFlight> m_blocks; // blocks in flight
};
