// A critical section and its scope guard. Critical sections exist on every
// Windows the library runs on (slim reader/writer locks start with Vista).
#pragma once

#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection() noexcept { InitializeCriticalSection(&m_section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    ~CCriticalSection() { DeleteCriticalSection(&m_section); }

    void Enter() noexcept { EnterCriticalSection(&m_section); }
    void Leave() noexcept { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class CLockGuard {
public:
    explicit CLockGuard(CCriticalSection& section) noexcept : m_section(section) { m_section.Enter(); }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;
    ~CLockGuard() { m_section.Leave(); }

private:
    CCriticalSection& m_section;
};
