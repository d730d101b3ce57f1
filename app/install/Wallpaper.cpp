#include "app/install/Wallpaper.h"

// IActiveDesktop needs the URL length of wininet.h.
// clang-format off
#include <windows.h>
#include <wininet.h>
#include <shlobj.h>
#include <shlguid.h>
// clang-format on

#include "base/ComPtr.h"

bool SetWallpaper(const CString& image)
{
    const HRESULT opened = CoInitialize(nullptr);
    HRESULT result = E_FAIL;
    {
        CComPtr<IActiveDesktop> desktop;
        result = CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                  reinterpret_cast<void**>(&desktop));
        if (SUCCEEDED(result)) {
            result = desktop->SetWallpaper(image, 0);
            if (SUCCEEDED(result))
                result = desktop->ApplyChanges(AD_APPLY_ALL);
        }
    }
    if (SUCCEEDED(opened))
        CoUninitialize();
    return SUCCEEDED(result);
}
