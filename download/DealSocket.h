// Windows Sockets for the library's lifetime: version 1.1 is asked for when
// the object is made and released when it goes. When the system offers some
// other version, Sockets are released again at once, so every later socket
// call fails and no download can start.
#pragma once

class CDealSocket {
public:
    CDealSocket() noexcept;
    CDealSocket(const CDealSocket&) = delete;
    CDealSocket& operator=(const CDealSocket&) = delete;
    virtual ~CDealSocket();

    bool IsStarted() const noexcept { return m_started; }

private:
    bool m_started = false;
};
