#include "AllocationProbe.h"

#include <windows.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr unsigned char kPoison = 0xDB;
constexpr std::size_t kMaxQuarantined = 1 << 16;

std::atomic<bool> g_counting{false};
std::atomic<std::size_t> g_countedBytes{0};
std::atomic<bool> g_quarantine{false};

// A spin lock, usable before any constructor of the program runs (and made
// of nothing Windows XP lacks, as every program of the build must be).
std::atomic_flag g_lock = ATOMIC_FLAG_INIT;

void Lock() noexcept
{
    while (g_lock.test_and_set(std::memory_order_acquire))
        Sleep(0);
}

void Unlock() noexcept
{
    g_lock.clear(std::memory_order_release);
}

void* g_blocks[kMaxQuarantined];
std::size_t g_blockCount = 0;
std::size_t g_freed = 0;

void* Allocate(std::size_t size) noexcept
{
    void* block = std::malloc(size ? size : 1);
    if (block && g_counting.load(std::memory_order_relaxed))
        g_countedBytes.fetch_add(size, std::memory_order_relaxed);
    return block;
}

void Release(void* block) noexcept
{
    if (!block)
        return;
    if (g_quarantine.load()) {
        Lock();
        const bool kept = g_quarantine.load() && g_blockCount < kMaxQuarantined;
        if (kept) {
            std::memset(block, kPoison, _msize(block));
            g_blocks[g_blockCount++] = block;
            ++g_freed;
        }
        Unlock();
        if (kept)
            return;
    }
    std::free(block);
}

void* AllocateOrThrow(std::size_t size)
{
    if (void* block = Allocate(size))
        return block;
    throw std::bad_alloc();
}

} // namespace

namespace allocation_probe {

void StartCounting()
{
    g_countedBytes = 0;
    g_counting = true;
}

std::size_t StopCounting()
{
    g_counting = false;
    return g_countedBytes.load();
}

void StartQuarantine()
{
    Lock();
    g_blockCount = 0;
    g_freed = 0;
    g_quarantine = true;
    Unlock();
}

QuarantineReport EndQuarantine()
{
    Lock();
    g_quarantine = false;
    QuarantineReport report = {g_freed, 0};
    for (std::size_t i = 0; i < g_blockCount; ++i) {
        const auto* bytes = static_cast<const unsigned char*>(g_blocks[i]);
        const std::size_t size = _msize(g_blocks[i]);
        for (std::size_t at = 0; at < size; ++at) {
            if (bytes[at] != kPoison) {
                ++report.written;
                break;
            }
        }
        std::free(g_blocks[i]);
    }
    g_blockCount = 0;
    Unlock();
    return report;
}

} // namespace allocation_probe

void* operator new(std::size_t size)
{
    return AllocateOrThrow(size);
}
void* operator new[](std::size_t size)
{
    return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void operator delete(void* block) noexcept
{
    Release(block);
}
void operator delete[](void* block) noexcept
{
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}
