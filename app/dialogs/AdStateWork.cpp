#include "app/dialogs/AdStateWork.h"

namespace {

// Lives as long as the process: it has no destructor to run at exit, so a
// worker that wakes while the globals are destroyed still finds it.
struct AdStateGate {
    CRITICAL_SECTION lock;
    HANDLE ended; // manual reset; set once the program is ending
    bool closed = false;

    AdStateGate() : ended(CreateEventW(nullptr, TRUE, FALSE, nullptr)) { InitializeCriticalSection(&lock); }
};

AdStateGate& Gate()
{
    static AdStateGate gate;
    return gate;
}

} // namespace

CAdStateUse::CAdStateUse()
{
    AdStateGate& gate = Gate();
    EnterCriticalSection(&gate.lock);
    m_open = !gate.closed;
    if (!m_open)
        LeaveCriticalSection(&gate.lock);
}

CAdStateUse::~CAdStateUse()
{
    if (m_open)
        LeaveCriticalSection(&Gate().lock);
}

void EndAdStateWork()
{
    AdStateGate& gate = Gate();
    EnterCriticalSection(&gate.lock);
    gate.closed = true;
    if (gate.ended)
        SetEvent(gate.ended);
    LeaveCriticalSection(&gate.lock);
}

bool WaitForAdStateEnd(DWORD ms)
{
    AdStateGate& gate = Gate();
    if (!gate.ended) {
        Sleep(ms);
        return false;
    }
    return WaitForSingleObject(gate.ended, ms) == WAIT_OBJECT_0;
}

void ResumeAdStateWork()
{
    AdStateGate& gate = Gate();
    EnterCriticalSection(&gate.lock);
    gate.closed = false;
    if (gate.ended)
        ResetEvent(gate.ended);
    LeaveCriticalSection(&gate.lock);
}
