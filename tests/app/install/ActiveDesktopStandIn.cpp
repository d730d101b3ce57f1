// An in-process COM server of our own for the Active Desktop class, which
// Wine has but does not implement (SetWallpaper and ApplyChanges answer
// E_NOTIMPL). Tests register it in place of Wine's for their run. It records
// SetWallpaper and ApplyChanges as UTF-8 lines in the file named by
// RAVONYX_DESKTOP_LOG ("SetWallpaper <path> <reserved>", "ApplyChanges
// <flags>"), and refuses an image that does not exist, as the shell does.
// clang-format off
#include <windows.h>
#include <wininet.h>
#include <shlobj.h>
#include <shlguid.h>
// clang-format on

#include <string>

namespace {

CRITICAL_SECTION g_logLock;
volatile LONG g_objects = 0;

std::string Utf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    return out;
}

void Record(const std::string& line)
{
    wchar_t path[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"RAVONYX_DESKTOP_LOG", path, MAX_PATH))
        return;
    EnterCriticalSection(&g_logLock);
    HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log != INVALID_HANDLE_VALUE) {
        const std::string text = line + "\n";
        DWORD written = 0;
        WriteFile(log, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(log);
    }
    LeaveCriticalSection(&g_logLock);
}

class CActiveDesktop : public IActiveDesktop {
public:
    CActiveDesktop() { InterlockedIncrement(&g_objects); }
    virtual ~CActiveDesktop() { InterlockedDecrement(&g_objects); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IActiveDesktop) {
            *out = static_cast<IActiveDesktop*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return refs;
    }

    STDMETHODIMP ApplyChanges(DWORD flags) override
    {
        Record("ApplyChanges " + std::to_string(flags));
        return m_wallpaperSet ? S_OK : E_FAIL;
    }
    STDMETHODIMP SetWallpaper(PCWSTR path, DWORD reserved) override
    {
        Record("SetWallpaper " + Utf8(path ? path : L"") + " " + std::to_string(reserved));
        m_wallpaperSet = path && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
        return m_wallpaperSet ? S_OK : HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }

    STDMETHODIMP GetWallpaper(PWSTR, UINT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetWallpaperOptions(LPWALLPAPEROPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetWallpaperOptions(LPCWALLPAPEROPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetPattern(PWSTR, UINT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetPattern(PCWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemOptions(LPCOMPONENTSOPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetDesktopItemOptions(LPCCOMPONENTSOPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddDesktopItemWithUI(HWND, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP ModifyDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemCount(int*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItem(int, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemByID(ULONG_PTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GenerateDesktopItemHtml(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddUrl(HWND, PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemBySource(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }

private:
    volatile LONG m_refs = 1;
    bool m_wallpaperSet = false;
};

class CFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* desktop = new CActiveDesktop();
        const HRESULT hr = desktop->QueryInterface(iid, out);
        desktop->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

CFactory g_factory;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        InitializeCriticalSection(&g_logLock);
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_ActiveDesktop)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    // Stays loaded: the log lock lives here.
    return S_FALSE;
}
