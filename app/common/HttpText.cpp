#include "app/common/HttpText.h"

#include "app/common/TextUtils.h"
#include "base/Handle.h"

#include <wininet.h>

#include <vector>

namespace {

using CInternetHandle = CUniqueHandle<NullHandleTraits<HINTERNET, &InternetCloseHandle>>;

} // namespace

bool HttpGetText(const CString& url, CString& out, DWORD size)
{
    CInternetHandle internet(InternetOpenW(L"GetContent", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet)
        return false;
    CInternetHandle reply(InternetOpenUrlW(internet, url, nullptr, 0, 0, 0));
    if (!reply)
        return false;

    // The reply may arrive in several pieces: read until the buffer is full
    // or the reply has ended.
    std::vector<char> buffer(size > 0 ? size : 1, '\0');
    const DWORD capacity = size > 0 ? size - 1 : 0;
    DWORD filled = 0;
    while (filled < capacity) {
        DWORD read = 0;
        if (!InternetReadFile(reply, buffer.data() + filled, capacity - filled, &read))
            return false;
        if (read == 0)
            break;
        filled += read;
    }
    reply.Reset();
    internet.Reset();
    out = Utf8ToStringZ(buffer.data());
    return true;
}
