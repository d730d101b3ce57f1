// The advertising-state workers and the program's end. A worker waits on the
// network and the web site on its own, and touches the program's state (the
// module, the settings files, the main window's timers) only inside a
// CAdStateUse, which fails once the program has begun to end. The end
// (EndAdStateWork, before the program's globals are destroyed) waits only for
// a worker inside one, which does local work alone: never for a worker
// still waiting on a server, which then ends without touching anything.
#pragma once

#include <windows.h>

class CAdStateUse {
public:
    CAdStateUse();
    ~CAdStateUse();
    CAdStateUse(const CAdStateUse&) = delete;
    CAdStateUse& operator=(const CAdStateUse&) = delete;

    // False once the program is ending: touch nothing.
    explicit operator bool() const noexcept { return m_open; }

private:
    bool m_open = false;
};

// From now on no worker touches the program's state; returns once none does.
void EndAdStateWork();
// Waits up to ms milliseconds; true as soon as the program is ending.
bool WaitForAdStateEnd(DWORD ms);
// Opens the work again, for a process that makes a main window again (tests).
void ResumeAdStateWork();
