// State of the running module that the rest of the program reads: its
// instance handle and the thread that started it.
#pragma once

#include <windows.h>

// The instance handle of the module (exe or dll) this code is linked into.
HINSTANCE ThisModuleInstance() noexcept;

class CAppModule {
public:
    CAppModule() = default;
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;
    virtual ~CAppModule() = default;

    // Records the instance (the own module when null) and the calling thread
    // as the main thread.
    HRESULT Init(HINSTANCE instance = nullptr) noexcept;
    void Term() noexcept;

    HINSTANCE GetModuleInstance() const noexcept { return m_instance; }
    HINSTANCE GetResourceInstance() const noexcept { return m_instance; }
    DWORD MainThreadId() const noexcept { return m_mainThreadId; }

private:
    HINSTANCE m_instance = nullptr;
    DWORD m_mainThreadId = 0;
};
