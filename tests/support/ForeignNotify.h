// WM_NOTIFY as another process can deliver it. The system does not copy a
// WM_NOTIFY record between processes, so the window gets the sender's number
// as lParam: here another thread of this process sends it (the receiver sees
// the same thing), or it is posted.
#pragma once

#include <windows.h>

#include <thread>

#include "base/Handle.h"

// The address of a block that is gone: a page given back to the system, so
// that any read through it faults.
inline LPARAM FreedBlockAddress()
{
    void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    VirtualFree(page, 0, MEM_RELEASE);
    return reinterpret_cast<LPARAM>(page);
}

// Sends WM_NOTIFY from another thread and takes the send on this one. False
// when the window did not answer.
inline bool SendNotifyFromAnotherThread(HWND target, WPARAM wParam, LPARAM lParam)
{
    CHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    BOOL answered = FALSE;
    std::thread sender([&] {
        DWORD_PTR answer = 0;
        answered = SendMessageTimeoutW(target, WM_NOTIFY, wParam, lParam, SMTO_NORMAL, 10000, &answer) != 0;
        SetEvent(done);
    });
    HANDLE event = done;
    while (MsgWaitForMultipleObjects(1, &event, FALSE, 20000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    sender.join();
    return answered != FALSE;
}

// Posts WM_NOTIFY and dispatches it as a message loop does. Where the system
// refuses to post it, the message is dispatched as though it had come
// through the queue.
inline void PostNotify(HWND target, WPARAM wParam, LPARAM lParam)
{
    MSG msg = {target, WM_NOTIFY, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    if (PostMessageW(target, WM_NOTIFY, wParam, lParam)) {
        if (!PeekMessageW(&msg, target, WM_NOTIFY, WM_NOTIFY, PM_REMOVE))
            return;
    }
    DispatchMessageW(&msg);
}
