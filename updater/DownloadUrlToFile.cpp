#include "updater/DownloadUrlToFile.h"

#include "base/Handle.h"

#include <wininet.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using CInternetHandle = CUniqueHandle<NullHandleTraits<HINTERNET, &InternetCloseHandle>>;

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using CFilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The agent text goes into the User-Agent line, so it must hold no line
// break; "Accept: */*" is the one header of our own.
const wchar_t kAgent[] = L"Uplark";
const wchar_t kAcceptHeader[] = L"Accept: */*\r\n";
constexpr DWORD kReadBlock = 16384;
constexpr DWORD kRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kRequestFlags == 0x84000100, "reload, no cache write, no-cache pragma");

// Without these a stalled server holds the try for as long as the Internet
// library's defaults allow, which may be for ever. Windows hands the root
// handle's values down to the handles made from it; some implementations
// take them only on the connection and request handles, so every level gets
// them before the request is sent.
void SetTimeouts(HINTERNET handle)
{
    DWORD timeout = kNetworkTimeout;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
          INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
        InternetSetOptionW(handle, option, &timeout, sizeof(timeout));
}

struct UrlParts {
    CString host;
    INTERNET_PORT port = 0;
    CString object; // path and query
    bool secure = false;
};

bool SplitUrl(const CString& url, UrlParts& parts)
{
    URL_COMPONENTSW components = {};
    components.dwStructSize = sizeof(components);
    // Null pointers with non-zero lengths: the parts are given as pointers
    // into the URL.
    components.dwHostNameLength = 1;
    components.dwUrlPathLength = 1;
    components.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(url, 0, 0, &components) || components.dwHostNameLength == 0)
        return false;
    if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS)
        return false;
    parts.host = CString(components.lpszHostName, static_cast<int>(components.dwHostNameLength));
    parts.port = components.nPort;
    parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
    if (components.lpszUrlPath)
        parts.object = CString(components.lpszUrlPath, static_cast<int>(components.dwUrlPathLength));
    if (components.lpszExtraInfo)
        parts.object += CString(components.lpszExtraInfo, static_cast<int>(components.dwExtraInfoLength));
    if (parts.object.IsEmpty())
        parts.object = L"/";
    return true;
}

} // namespace

bool DownloadUrlToFile(const CString& url, const CString& path)
{
    UrlParts parts;
    if (!SplitUrl(url, parts))
        return false;
    CInternetHandle internet(InternetOpenW(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet)
        return false;
    SetTimeouts(internet);
    CInternetHandle connection(
        InternetConnectW(internet, parts.host, parts.port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return false;
    SetTimeouts(connection);
    const DWORD flags = kRequestFlags | (parts.secure ? INTERNET_FLAG_SECURE : 0);
    CInternetHandle request(
        HttpOpenRequestW(connection, L"GET", parts.object, nullptr, nullptr, nullptr, flags, 0));
    if (!request)
        return false;
    SetTimeouts(request);
    if (!HttpSendRequestW(request, kAcceptHeader, static_cast<DWORD>(wcslen(kAcceptHeader)), nullptr, 0))
        return false;
    CFilePtr file(_wfopen(path, L"wb"));
    if (!file)
        return false;

    std::vector<char> block(kReadBlock);
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, block.data(), kReadBlock, &read))
            return false;
        if (read == 0)
            break;
        if (std::fwrite(block.data(), 1, read, file.get()) != read)
            return false;
    }
    // A write that only fails when the buffer is flushed fails the try too.
    return std::fclose(file.release()) == 0;
}
