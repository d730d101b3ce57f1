#include "ServerControl.h"

#include "base/Handle.h"

#include <wininet.h>

#include <stdexcept>

namespace {

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { InternetCloseHandle(h); }
};
using CInternetHandle = CUniqueHandle<InternetHandleTraits>;

CString Environment(const wchar_t* name)
{
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    if (length == 0 || length >= 1024)
        throw std::runtime_error("run this test through tools/testserver/with_server.py");
    return value;
}

} // namespace

CString TestServerUrl()
{
    return L"http://" + Environment(L"RAVONYX_TEST_SERVER");
}

CString TestServerRoot()
{
    return Environment(L"RAVONYX_TEST_SERVER_ROOT") + L"\\";
}

std::string PostServerControl(const wchar_t* what, const std::string& json)
{
    const CString server = Environment(L"RAVONYX_TEST_SERVER");
    const int colon = server.ReverseFind(L':');
    const auto port = static_cast<INTERNET_PORT>(_wtoi(server.Mid(colon + 1)));
    CInternetHandle internet(InternetOpenW(L"ravonyx-test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    CInternetHandle connection(
        InternetConnectW(internet, server.Left(colon), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    const CString path = CString(L"/_control/") + what;
    CInternetHandle request(HttpOpenRequestW(connection, L"POST", path, nullptr, nullptr, nullptr,
                                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    const wchar_t headers[] = L"Content-Type: application/json\r\n";
    if (!request || !HttpSendRequestW(request, headers, static_cast<DWORD>(-1),
                                      const_cast<char*>(json.data()), static_cast<DWORD>(json.size())))
        return {};
    std::string reply;
    char buffer[1024];
    DWORD read = 0;
    while (InternetReadFile(request, buffer, sizeof(buffer), &read) && read > 0)
        reply.append(buffer, read);
    return reply;
}
