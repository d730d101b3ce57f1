#include "download/SocketWatch.h"

#include <algorithm>

namespace {

constexpr int kShutdownBoth = 2; // SD_BOTH, which winsock.h does not name

} // namespace

bool CSocketWatch::Watch(SOCKET s)
{
    CCriticalSectionLock lock(m_lock);
    if (m_tripped)
        return false;
    m_sockets.push_back(s);
    return true;
}

void CSocketWatch::Forget(SOCKET s)
{
    CCriticalSectionLock lock(m_lock);
    m_sockets.erase(std::remove(m_sockets.begin(), m_sockets.end(), s), m_sockets.end());
}

void CSocketWatch::Trip()
{
    CCriticalSectionLock lock(m_lock);
    m_tripped = true;
    for (SOCKET s : m_sockets)
        shutdown(s, kShutdownBoth);
}

bool CSocketWatch::IsTripped()
{
    CCriticalSectionLock lock(m_lock);
    return m_tripped;
}
