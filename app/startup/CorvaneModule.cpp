#include "app/startup/CorvaneModule.h"

#include "app/common/FileVersion.h"

CCorvaneModule _Module;

CCorvaneModule::CCorvaneModule() = default;

CCorvaneModule::~CCorvaneModule()
{
    // The block goes first; its name disappears with the last handle.
    m_instanceMapping.Close();
}

HRESULT InitModulePaths(CCorvaneModule& module)
{
    HRESULT hr = module.Init();
    if (FAILED(hr))
        return hr;
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        module.m_strModulePath = L"";
        hr = E_FAIL;
    } else {
        module.m_strModulePath = path;
    }
    const int slash = module.m_strModulePath.ReverseFind(L'\\');
    module.m_strAppDir = slash >= 0 ? module.m_strModulePath.Left(slash + 1) : CString();
    GetFileProductVersion(module.m_strModulePath, module.m_strVersion);
    return hr;
}
