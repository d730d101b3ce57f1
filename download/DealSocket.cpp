#include "download/DealSocket.h"

#include <windows.h> // brings the Windows Sockets 1.1 interface

CDealSocket::CDealSocket() noexcept
{
    WSADATA data{};
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return;
    if (data.wVersion != MAKEWORD(1, 1)) {
        WSACleanup();
        return;
    }
    m_started = true;
}

CDealSocket::~CDealSocket()
{
    if (m_started)
        WSACleanup();
}
