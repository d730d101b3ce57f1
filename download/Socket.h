// A TCP connection that blocks its caller, with time-outs: connecting, and
// every send and receive, give up after kSocketTimeoutMs without progress,
// so a server that stops answering cannot hold a download forever. The
// socket itself does not block: its waits are made in slices of
// kStopPollMs, and a tripped watch ends them within one slice.
#pragma once

#include "base/RefString.h"
#include "download/SocketWatch.h"

#include <windows.h> // brings the Windows Sockets 1.1 interface

#include <string>
#include <utility>

constexpr DWORD kSocketTimeoutMs = 30000;
constexpr DWORD kStopPollMs = 100;

class CSocket {
public:
    CSocket() noexcept = default;
    explicit CSocket(SOCKET s) noexcept : m_socket(s) {}
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;
    CSocket(CSocket&& other) noexcept
        : m_watch(std::exchange(other.m_watch, nullptr)),
          m_socket(std::exchange(other.m_socket, INVALID_SOCKET))
    {
    }
    CSocket& operator=(CSocket&& other) noexcept;
    ~CSocket() { Close(); }

    bool IsValid() const noexcept { return m_socket != INVALID_SOCKET; }
    SOCKET Get() const noexcept { return m_socket; }
    void Close() noexcept;
    SOCKET Detach() noexcept;

    // Puts the socket under the watch until it is closed or detached; when
    // the watch is already tripped the socket is closed and false returned.
    bool WatchBy(CSocketWatch& watch) noexcept;

    // Sends all bytes of the text; on failure the connection is closed.
    bool SendString(const std::string& text) noexcept;

    // One receive of at most size bytes: the count, 0 when the peer closed,
    // -1 on an error, when nothing came within the time-out, or when the
    // watch was tripped.
    int Receive(char* buffer, int size) noexcept;

private:
    CSocketWatch* m_watch = nullptr;
    SOCKET m_socket = INVALID_SOCKET;
};

// Resolves the host (in the thread's ANSI code page) and connects to its
// first address; an invalid socket when that fails or takes too long, or
// when the watch, if any, has been tripped.
CSocket Connect(const CString& host, int port, CSocketWatch* watch = nullptr);
