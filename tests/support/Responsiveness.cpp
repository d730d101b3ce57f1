#include "tests/support/Responsiveness.h"

#include <algorithm>
#include <atomic>

#include "base/Thread.h"
#include "tests/support/TestServer.h"

namespace {

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

bool WindowAnswersWhileRequestRuns(HWND window, const std::string& path, const std::function<void()>& call,
                                   DWORD answerMs)
{
    std::atomic<bool> answered{false};
    CHandle prober = StartThread([&] {
        if (!CTestServer::Instance().WaitForRequests(1, path, 20))
            return;
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, answerMs, &result) != 0;
    });
    if (!prober)
        return false;
    call();
    HANDLE handle = prober.Get();
    for (;;) {
        const DWORD got = MsgWaitForMultipleObjects(1, &handle, FALSE, 30000, QS_ALLINPUT);
        if (got != WAIT_OBJECT_0 + 1)
            break;
        PumpPending();
    }
    return answered;
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - waited, 50), QS_ALLINPUT);
        PumpPending();
    }
    return true;
}
