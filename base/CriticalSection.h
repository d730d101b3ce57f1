// A critical section and the lock that holds it for one scope.
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

class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CCriticalSection& section) noexcept : m_section(section)
    {
        m_section.Enter();
    }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;
    ~CCriticalSectionLock() { m_section.Leave(); }

private:
    CCriticalSection& m_section;
};
