// The connections a download has open, so that stopping it can end a receive
// or send that waits on a silent server at once, instead of after the socket
// time-out: the waits of a watched socket look at the watch (Socket.h), and
// tripping it also shuts the connections down, so the server sees them end.
#pragma once

#include "base/CriticalSection.h"

#include <windows.h> // brings the Windows Sockets 1.1 interface

#include <vector>

class CSocketWatch {
public:
    CSocketWatch() = default;
    CSocketWatch(const CSocketWatch&) = delete;
    CSocketWatch& operator=(const CSocketWatch&) = delete;

    // Watches a connected socket until Forget. False once the watch has
    // been tripped: the socket is then not watched and must not be used.
    bool Watch(SOCKET s);
    // Called before the socket is closed, so that a trip never touches a
    // handle that may already name another socket.
    void Forget(SOCKET s);

    // Shuts every watched socket down in both directions and refuses
    // sockets from then on; their waits end within a slice.
    void Trip();
    bool IsTripped();

private:
    CCriticalSection m_lock;
    std::vector<SOCKET> m_sockets;
    bool m_tripped = false;
};
