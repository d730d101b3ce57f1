#include "base/NotifyRecord.h"

#include <cstdint>

namespace {

// One notification being sent; the chain lives on the senders' stacks.
struct InFlight {
    std::uintptr_t begin;
    std::size_t size;
    const InFlight* outer;
};

thread_local const InFlight* t_inFlight = nullptr;

// Takes the record off the chain however the send ends.
class CInFlightScope {
public:
    CInFlightScope(const void* record, std::size_t size) noexcept
        : m_entry{reinterpret_cast<std::uintptr_t>(record), size, t_inFlight}
    {
        t_inFlight = &m_entry;
    }
    ~CInFlightScope() { t_inFlight = m_entry.outer; }
    CInFlightScope(const CInFlightScope&) = delete;
    CInFlightScope& operator=(const CInFlightScope&) = delete;

private:
    InFlight m_entry;
};

bool Holds(std::uintptr_t begin, std::size_t size, std::uintptr_t address, std::size_t length) noexcept
{
    return address >= begin && length <= size && address - begin <= size - length;
}

// True when [address, address + length) lies on this thread's stack above
// the caller's frame: memory that a send made on this thread is still using.
__attribute__((noinline)) bool IsOnStackAboveHere(std::uintptr_t address, std::size_t length) noexcept
{
    volatile char here = 0;
    const auto frame = reinterpret_cast<std::uintptr_t>(&here);
    // GCC takes the header's segment read for an access through a null
    // pointer; it reads this thread's own information block.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    const auto* tib = reinterpret_cast<const NT_TIB*>(NtCurrentTeb());
#pragma GCC diagnostic pop
    const auto base = reinterpret_cast<std::uintptr_t>(tib->StackBase);
    return frame < base && Holds(frame, base - frame, address, length);
}

} // namespace

LRESULT SendNotifyRecord(HWND hwnd, WPARAM wParam, NMHDR& record, std::size_t size)
{
    CInFlightScope inFlight(&record, size);
    return SendMessageW(hwnd, WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(&record));
}

bool IsNotifyRecordInFlight(LPARAM lParam, std::size_t size) noexcept
{
    const auto address = static_cast<std::uintptr_t>(lParam);
    if (!address)
        return false;
    for (const InFlight* entry = t_inFlight; entry; entry = entry->outer) {
        if (entry->begin == address && size <= entry->size)
            return true;
    }
    return false;
}

bool IsSameThreadNotifyRecord(LPARAM lParam, std::size_t size) noexcept
{
    return IsNotifyRecordInFlight(lParam, size) ||
           (lParam && IsOnStackAboveHere(static_cast<std::uintptr_t>(lParam), size));
}
