#include "base/NotifyRecord.h"

#include <cstdint>

namespace {

// One notification being sent; the chain lives on the senders' stacks.
struct InFlight {
    std::uintptr_t begin;
    std::size_t size;
    HWND target;
    const InFlight* outer;
};

thread_local const InFlight* t_inFlight = nullptr;

// Takes the record off the chain however the send ends.
class CInFlightScope {
public:
    CInFlightScope(HWND target, const void* record, std::size_t size) noexcept
        : m_entry{reinterpret_cast<std::uintptr_t>(record), size, target, t_inFlight}
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

// True for receiver itself and its child windows, when they are of this thread.
bool IsReceiverOrChild(HWND receiver, HWND window) noexcept
{
    if (!receiver || !window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return false;
    return window == receiver || IsChild(receiver, window);
}

} // namespace

LRESULT SendNotifyRecord(HWND hwnd, WPARAM wParam, NMHDR& record, std::size_t size)
{
    CInFlightScope inFlight(hwnd, &record, size);
    return SendMessageW(hwnd, WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(&record));
}

bool IsNotifyRecordInFlight(HWND receiver, LPARAM lParam, std::size_t size) noexcept
{
    const auto address = static_cast<std::uintptr_t>(lParam);
    if (!address)
        return false;
    for (const InFlight* entry = t_inFlight; entry; entry = entry->outer) {
        if (entry->begin == address && size <= entry->size && IsReceiverOrChild(receiver, entry->target))
            return true;
    }
    return false;
}

const NMHDR* ControlNotifyHeader(HWND receiver, LPARAM lParam) noexcept
{
    const auto address = static_cast<std::uintptr_t>(lParam);
    if (!address || !IsOnStackAboveHere(address, sizeof(NMHDR)))
        return nullptr;
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    return IsReceiverOrChild(receiver, hdr->hwndFrom) ? hdr : nullptr;
}

bool IsControlNotifyRecord(HWND receiver, LPARAM lParam, std::size_t size, UINT code) noexcept
{
    const NMHDR* hdr = ControlNotifyHeader(receiver, lParam);
    return hdr && hdr->code == code && IsOnStackAboveHere(static_cast<std::uintptr_t>(lParam), size);
}
