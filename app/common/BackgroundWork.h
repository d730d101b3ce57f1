// Work that must not hold up a window: a request runs on a worker thread,
// and what it found comes back to the thread that asked as a reply, a block
// posted to a hidden window of that thread and recorded here for that window,
// so that a message another process posts frees nothing and runs nothing,
// and a reply runs only on the thread it was made for. The reply runs in that
// thread's message loop, unless the window it was asked for is gone by then:
// it is then dropped. Nobody waits for a worker: one still at work when the
// program ends ends with it.
//
//     RunInBackground(hwnd, [url] {
//         CString reply;
//         HttpGetText(url, reply, 4096);
//         return [reply] { ShowTheReply(reply); };   // on hwnd's thread
//     });
#pragma once

#include <windows.h>

#include <functional>

using BackgroundReply = std::function<void()>;

// Starts work on a worker thread; the reply it returns (empty: none) runs on
// the calling thread, unless owner (null: no window; else a window of the
// calling thread) was destroyed meanwhile. False, with nothing started, when
// no thread could be made or owner is no window of this thread.
bool RunInBackground(HWND owner, std::function<BackgroundReply()> work);

// Waits until every worker started here has ended and posted its reply;
// false on time-out. The replies still wait in the message queue.
bool WaitForBackgroundWork(DWORD timeoutMs);
