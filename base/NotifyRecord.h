// WM_NOTIFY records that a receiver may read.
//
// The system does not copy a WM_NOTIFY record between processes, so any
// process on the desktop can send or post WM_NOTIFY to our windows with any
// number as lParam. A receiver reads the record only when it knows that
// this thread is sending it at this moment:
//   - our own notifications go out through SendNotifyRecord(), which records
//     the block on this thread for the length of the send;
//   - the system's controls send theirs on the window's own thread, from a
//     record on that thread's stack, so the record lies between the
//     receiver's frame and the base of the thread's stack: memory in use,
//     always readable.
// A posted WM_NOTIFY, or one sent from another thread or process, names
// neither unless its lParam happens to point into what this thread is using
// now, which can be read without harm. (InSendMessage() alone cannot judge:
// it is FALSE for a posted message too, and TRUE for a control's own send
// made while the window handles a message from another thread.)
#pragma once

#include <windows.h>

#include <cstddef>

// Sends WM_NOTIFY(wParam, &record) to hwnd, the record in flight on this
// thread for the call. Sends nest: a receiver may send notifications of its
// own, or pass the record on, while it handles one.
LRESULT SendNotifyRecord(HWND hwnd, WPARAM wParam, NMHDR& record, std::size_t size);

// The receiver may write to the record (a tab change's cancel).
template <typename T> LRESULT SendNotifyRecord(HWND hwnd, WPARAM wParam, T& record)
{
    return SendNotifyRecord(hwnd, wParam, reinterpret_cast<NMHDR&>(record), sizeof(T));
}

// True when lParam is the address of a record of at least size bytes that
// SendNotifyRecord() is sending on this thread now.
bool IsNotifyRecordInFlight(LPARAM lParam, std::size_t size) noexcept;

// True when lParam is a record of at least size bytes that this thread is
// sending now: one in flight, or a system control's from this thread's stack.
bool IsSameThreadNotifyRecord(LPARAM lParam, std::size_t size) noexcept;

// The record behind lParam of one of our own notifications, else null.
template <typename T> T* OurNotifyRecord(LPARAM lParam) noexcept
{
    return IsNotifyRecordInFlight(lParam, sizeof(T)) ? reinterpret_cast<T*>(lParam) : nullptr;
}

// The record behind lParam of a notification sent on this thread (ours or a
// system control's), else null.
template <typename T> T* SameThreadNotifyRecord(LPARAM lParam) noexcept
{
    return IsSameThreadNotifyRecord(lParam, sizeof(T)) ? reinterpret_cast<T*>(lParam) : nullptr;
}
