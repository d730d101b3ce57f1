#include "download/Socket.h"

#include <utility>

namespace {

// Time-outs for every send and receive, and no Nagle delay: a request goes
// out one short line per send, and each line leaves at once.
bool SetOptions(SOCKET s) noexcept
{
    const DWORD ms = kSocketTimeoutMs;
    const char* value = reinterpret_cast<const char*>(&ms);
    const BOOL noDelay = TRUE;
    return setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, value, sizeof(ms)) == 0 &&
           setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, value, sizeof(ms)) == 0 &&
           setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                      sizeof(noDelay)) == 0;
}

bool SetBlocking(SOCKET s, bool blocking) noexcept
{
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

// connect() on a non-blocking socket, then a bounded wait for the outcome.
bool ConnectWithTimeout(SOCKET s, const sockaddr_in& address) noexcept
{
    if (!SetBlocking(s, false))
        return false;
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            return false;
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        timeval limit{static_cast<long>(kSocketTimeoutMs / 1000), 0};
        if (select(0, nullptr, &writable, &failed, &limit) != 1 || !FD_ISSET(s, &writable))
            return false;
    }
    return SetBlocking(s, true);
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
    while (sent < text.size()) {
        const int n = send(m_socket, text.data() + sent, static_cast<int>(text.size() - sent), 0);
        if (n <= 0) {
            Close();
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

int CSocket::Receive(char* buffer, int size) noexcept
{
    const int n = recv(m_socket, buffer, size, 0);
    return n == SOCKET_ERROR ? -1 : n;
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

    if (!SetOptions(s.Get()) || !ConnectWithTimeout(s.Get(), address))
        return CSocket();
    if (watch && !s.WatchBy(*watch))
        return CSocket();
    return s;
}
