// WM_NOTIFY records that a receiver may read.
//
// The system does not copy a WM_NOTIFY record between processes, so any
// process on the desktop can send or post WM_NOTIFY to our windows with any
// number as lParam. A receiver reads the record only when it knows that
// this thread is sending it to that receiver at this moment:
//   - our own notifications go out through SendNotifyRecord(), which records
//     the block and its window on this thread for the length of the send;
//     the window, or a parent it passes the notification on to, may read it;
//   - the system's controls send theirs on the window's own thread, from a
//     record on that thread's stack. Such a record is read only when it lies
//     between the receiver's frame and the base of the thread's stack
//     (memory in use, always readable), names as its sender (hwndFrom) a
//     window of this thread that is the receiver or one of its children,
//     and carries a code the receiver handles.
// A posted WM_NOTIFY, or one sent from another thread or process, names
// neither unless its lParam happens to point into what this thread is using
// now; the stack lies at the same addresses from run to run and a posted
// message leaves its own parameters there, which is why a record on the
// stack must also name a sender of the receiver's and a code it handles.
// (InSendMessage() alone cannot judge: it is FALSE for a posted message too,
// and TRUE for a control's own send made while the window handles a message
// from another thread.)
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
// SendNotifyRecord() is sending on this thread now to receiver, or to a
// child window of receiver (which passes it on to its parent).
bool IsNotifyRecordInFlight(HWND receiver, LPARAM lParam, std::size_t size) noexcept;

// The header of a notification that a control of this thread is sending to
// receiver now: on this thread's stack in use, from a window of this thread
// that is receiver or one of its children; null otherwise. Its code is not
// looked at: for passing the notification on to the control that sent it.
const NMHDR* ControlNotifyHeader(HWND receiver, LPARAM lParam) noexcept;

// True when lParam is a record of at least size bytes with this code that a
// control of this thread is sending to receiver now (ControlNotifyHeader).
bool IsControlNotifyRecord(HWND receiver, LPARAM lParam, std::size_t size, UINT code) noexcept;

// The record behind lParam of one of our own notifications to receiver,
// else null.
template <typename T> T* OurNotifyRecord(HWND receiver, LPARAM lParam) noexcept
{
    return IsNotifyRecordInFlight(receiver, lParam, sizeof(T)) ? reinterpret_cast<T*>(lParam) : nullptr;
}

// The record behind lParam of a system control's notification with this
// code to receiver, else null.
template <typename T> T* ControlNotifyRecord(HWND receiver, LPARAM lParam, UINT code) noexcept
{
    return IsControlNotifyRecord(receiver, lParam, sizeof(T), code) ? reinterpret_cast<T*>(lParam) : nullptr;
}
