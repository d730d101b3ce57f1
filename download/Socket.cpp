#include "download/Socket.h"

#include <utility>

namespace {

// No Nagle delay: a request goes out one short line per send, and each line
// leaves at once.
bool SetOptions(SOCKET s) noexcept
{
    const BOOL noDelay = TRUE;
    return setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                      sizeof(noDelay)) == 0;
}

bool SetNonBlocking(SOCKET s) noexcept
{
    u_long nonBlocking = 1;
    return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

// Waits until the socket can be read (or written), in slices of
// kStopPollMs; false when kSocketTimeoutMs have passed since start, when the
// watch has been tripped, or when the socket failed.
bool WaitUntilReady(SOCKET s, bool forWriting, CSocketWatch* watch, DWORD start) noexcept
{
    for (;;) {
        if (watch && watch->IsTripped())
            return false;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= kSocketTimeoutMs)
            return false;
        const DWORD slice =
            kSocketTimeoutMs - elapsed < kStopPollMs ? kSocketTimeoutMs - elapsed : kStopPollMs;
        fd_set ready;
        fd_set failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(s, &ready);
        FD_SET(s, &failed);
        timeval limit{static_cast<long>(slice / 1000), static_cast<long>(slice % 1000 * 1000)};
        const int n = forWriting ? select(0, nullptr, &ready, &failed, &limit)
                                 : select(0, &ready, nullptr, &failed, &limit);
        if (n == SOCKET_ERROR)
            return false;
        if (n > 0)
            return FD_ISSET(s, &ready) != 0;
    }
}

// connect() on the non-blocking socket, then a bounded wait for the outcome.
bool ConnectWithTimeout(SOCKET s, const sockaddr_in& address, CSocketWatch* watch) noexcept
{
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0)
        return true;
    return WSAGetLastError() == WSAEWOULDBLOCK && WaitUntilReady(s, true, watch, GetTickCount());
}

} // namespace

CSocket& CSocket::operator=(CSocket&& other) noexcept
{
    if (this != &other) {
        Close();
        m_watch = std::exchange(other.m_watch, nullptr);
        m_socket = std::exchange(other.m_socket, INVALID_SOCKET);
    }
    return *this;
}

void CSocket::Close() noexcept
{
    const SOCKET s = Detach();
    if (s != INVALID_SOCKET)
        closesocket(s);
}

SOCKET CSocket::Detach() noexcept
{
    if (CSocketWatch* watch = std::exchange(m_watch, nullptr); watch && m_socket != INVALID_SOCKET)
        watch->Forget(m_socket);
    return std::exchange(m_socket, INVALID_SOCKET);
}

bool CSocket::WatchBy(CSocketWatch& watch) noexcept
{
    if (!IsValid() || !watch.Watch(m_socket)) {
        Close();
        return false;
    }
    m_watch = &watch;
    return true;
}

bool CSocket::SendString(const std::string& text) noexcept
{
    size_t sent = 0;
    DWORD start = GetTickCount();
    while (sent < text.size()) {
        const int n = send(m_socket, text.data() + sent, static_cast<int>(text.size() - sent), 0);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            start = GetTickCount();
        } else if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK ||
                   !WaitUntilReady(m_socket, true, m_watch, start)) {
            Close();
            return false;
        }
    }
    return true;
}

int CSocket::Receive(char* buffer, int size) noexcept
{
    const DWORD start = GetTickCount();
    for (;;) {
        const int n = recv(m_socket, buffer, size, 0);
        if (n != SOCKET_ERROR)
            return n;
        if (WSAGetLastError() != WSAEWOULDBLOCK || !WaitUntilReady(m_socket, false, m_watch, start))
            return -1;
    }
}

CSocket Connect(const CString& host, int port, CSocketWatch* watch)
{
    if (port <= 0 || port > 65535)
        return CSocket();
    CSocket s(socket(AF_INET, SOCK_STREAM, 0));
    if (!s.IsValid())
        return s;
    const std::string name = host.ToAnsi();
    const hostent* entry = gethostbyname(name.c_str());
    if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list || !entry->h_addr_list[0])
        return CSocket();

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    memcpy(&address.sin_addr, entry->h_addr_list[0], sizeof(address.sin_addr));

    if (!SetOptions(s.Get()) || !SetNonBlocking(s.Get()) || !ConnectWithTimeout(s.Get(), address, watch))
        return CSocket();
    if (watch && !s.WatchBy(*watch))
        return CSocket();
    return s;
}
