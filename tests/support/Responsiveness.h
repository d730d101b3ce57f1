// Whether a window stays responsive while its thread has a slow request
// under way.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Runs call on this thread. Once the test server has seen a request for
// path, another thread sends the window a message and waits answerMs for
// the answer, while this thread takes its messages as a message loop would.
// True when the window answered in time.
bool WindowAnswersWhileRequestRuns(HWND window, const std::string& path, const std::function<void()>& call,
                                   DWORD answerMs = 2000);

// Takes this thread's messages until done() or timeoutMs; done()'s result.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);
