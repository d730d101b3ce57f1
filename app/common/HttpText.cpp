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
    bool whole = false;
    return HttpGetText(url, out, size, whole);
}

bool HttpGetText(const CString& url, CString& out, DWORD size, bool& whole)
{
    whole = false;
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
    for (;;) {
        DWORD read = 0;
        if (filled < capacity) {
            if (!InternetReadFile(reply, buffer.data() + filled, capacity - filled, &read))
                return false;
            if (read == 0)
                break;
            filled += read;
            continue;
        }
        // Full: the reply fitted only when nothing more comes.
        char more = 0;
        if (!InternetReadFile(reply, &more, 1, &read))
            return false;
        whole = read == 0;
        break;
    }
    if (filled < capacity)
        whole = true;
    reply.Reset();
    internet.Reset();
    out = Utf8ToStringZ(buffer.data());
    return true;
}
