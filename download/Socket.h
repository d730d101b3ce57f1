// A blocking TCP connection with time-outs: connecting, and every send and
// receive, give up after kSocketTimeoutMs without progress, so a server that
// stops answering cannot hold a download forever.
#pragma once

#include "base/RefString.h"

#include <windows.h> // brings the Windows Sockets 1.1 interface

#include <string>

constexpr DWORD kSocketTimeoutMs = 30000;

class CSocket {
public:
    CSocket() noexcept = default;
    explicit CSocket(SOCKET s) noexcept : m_socket(s) {}
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;
    CSocket(CSocket&& other) noexcept : m_socket(other.Detach()) {}
    CSocket& operator=(CSocket&& other) noexcept;
    ~CSocket() { Close(); }

    bool IsValid() const noexcept { return m_socket != INVALID_SOCKET; }
    SOCKET Get() const noexcept { return m_socket; }
    void Close() noexcept;
    SOCKET Detach() noexcept;

    // Sends all bytes of the text; on failure the connection is closed.
    bool SendString(const std::string& text) noexcept;

    // One receive of at most size bytes: the count, 0 when the peer closed,
    // -1 on an error or when nothing came within the time-out.
    int Receive(char* buffer, int size) noexcept;

private:
    SOCKET m_socket = INVALID_SOCKET;
};

// Resolves the host (in the thread's ANSI code page) and connects to its
// first address; an invalid socket when that fails or takes too long.
CSocket Connect(const CString& host, int port);
