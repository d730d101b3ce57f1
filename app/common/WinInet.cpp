#include "app/common/WinInet.h"

namespace {

struct WinInetFunctions {
    decltype(&InternetOpenW) open = nullptr;
    decltype(&InternetOpenUrlW) openUrl = nullptr;
    decltype(&InternetReadFile) readFile = nullptr;
    decltype(&InternetCloseHandle) closeHandle = nullptr;
    decltype(&InternetQueryOptionW) queryOption = nullptr;
    decltype(&InternetCheckConnectionW) checkConnection = nullptr;
    decltype(&HttpQueryInfoW) queryInfo = nullptr;
};

template <typename Function> void Bind(HMODULE library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Bound once, by whichever thread calls first; the library stays loaded.
const WinInetFunctions& Functions()
{
    static const WinInetFunctions functions = [] {
        WinInetFunctions bound;
        HMODULE library = LoadLibraryW(L"wininet.dll");
        if (!library)
            return bound;
        Bind(library, "InternetOpenW", bound.open);
        Bind(library, "InternetOpenUrlW", bound.openUrl);
        Bind(library, "InternetReadFile", bound.readFile);
        Bind(library, "InternetCloseHandle", bound.closeHandle);
        Bind(library, "InternetQueryOptionW", bound.queryOption);
        Bind(library, "InternetCheckConnectionW", bound.checkConnection);
        Bind(library, "HttpQueryInfoW", bound.queryInfo);
        return bound;
    }();
    return functions;
}

// The result of a function the library does not give.
template <typename Result> Result Missing(Result failure)
{
    SetLastError(ERROR_MOD_NOT_FOUND);
    return failure;
}

} // namespace

HINTERNET WinInetOpen(const wchar_t* agent, DWORD accessType, const wchar_t* proxy,
                      const wchar_t* proxyBypass, DWORD flags)
{
    const auto open = Functions().open;
    return open ? open(agent, accessType, proxy, proxyBypass, flags) : Missing<HINTERNET>(nullptr);
}

HINTERNET WinInetOpenUrl(HINTERNET internet, const wchar_t* url, const wchar_t* headers, DWORD headersLength,
                         DWORD flags, DWORD_PTR context)
{
    const auto openUrl = Functions().openUrl;
    return openUrl ? openUrl(internet, url, headers, headersLength, flags, context)
                   : Missing<HINTERNET>(nullptr);
}

BOOL WinInetReadFile(HINTERNET file, void* buffer, DWORD toRead, DWORD* read)
{
    const auto readFile = Functions().readFile;
    return readFile ? readFile(file, buffer, toRead, read) : Missing<BOOL>(FALSE);
}

BOOL WINAPI WinInetCloseHandle(HINTERNET handle)
{
    const auto closeHandle = Functions().closeHandle;
    return closeHandle ? closeHandle(handle) : Missing<BOOL>(FALSE);
}

BOOL WinInetQueryOption(HINTERNET internet, DWORD option, void* buffer, DWORD* length)
{
    const auto queryOption = Functions().queryOption;
    return queryOption ? queryOption(internet, option, buffer, length) : Missing<BOOL>(FALSE);
}

BOOL WinInetCheckConnection(const wchar_t* url, DWORD flags, DWORD reserved)
{
    const auto checkConnection = Functions().checkConnection;
    return checkConnection ? checkConnection(url, flags, reserved) : Missing<BOOL>(FALSE);
}

BOOL WinInetHttpQueryInfo(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* length, DWORD* index)
{
    const auto queryInfo = Functions().queryInfo;
    return queryInfo ? queryInfo(request, infoLevel, buffer, length, index) : Missing<BOOL>(FALSE);
}
