// Heap blocks that travel in posted messages. Any process may post any
// message to a window, so a window frees only blocks that this process made
// and recorded for it: the receiver takes a block back out of the record,
// and one it never recorded is left alone.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

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
            m_blocks.emplace(raw, std::move(block));
        }
        if (PostMessageW(hwnd, msg, reinterpret_cast<WPARAM>(raw), 0))
            return true;
        Take(reinterpret_cast<WPARAM>(raw));
        return false;
    }

    // The recorded block behind wParam, now owned by the caller; null for
    // anything this process did not record.
    std::unique_ptr<T> Take(WPARAM wParam)
    {
        CCriticalSectionLock lock(m_lock);
        auto found = m_blocks.find(reinterpret_cast<T*>(wParam));
        if (found == m_blocks.end())
            return nullptr;
        std::unique_ptr<T> block = std::move(found->second);
        m_blocks.erase(found);
        return block;
    }

private:
    CCriticalSection m_lock;
    std::unordered_map<T*, std::unique_ptr<T>> m_blocks; // blocks in flight
};
