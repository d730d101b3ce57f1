#include "base/AppModule.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE ThisModuleInstance() noexcept
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

HRESULT CAppModule::Init(HINSTANCE instance) noexcept
{
    m_instance = instance ? instance : ThisModuleInstance();
    m_mainThreadId = GetCurrentThreadId();
    return S_OK;
}

void CAppModule::Term() noexcept
{
    m_instance = nullptr;
    m_mainThreadId = 0;
}
