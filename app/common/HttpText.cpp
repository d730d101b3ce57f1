#include "app/common/HttpText.h"

#include "app/common/TextUtils.h"
#include "base/Handle.h"

#include <wininet.h>

#include <vector>

namespace {

using CInternetHandle = CUniqueHandle<NullHandleTraits<HINTERNET, &InternetCloseHandle>>;

// Reads the reply into buffer until it ends or all but the buffer's last
// byte is filled; whole tells whether the reply ended there. The reply may
// arrive in several pieces. False when a read fails.
bool ReadReply(HINTERNET reply, std::vector<char>& buffer, bool& whole)
{
    const DWORD capacity = static_cast<DWORD>(buffer.size() - 1);
    DWORD filled = 0;
    while (filled < capacity) {
        DWORD read = 0;
        if (!InternetReadFile(reply, buffer.data() + filled, capacity - filled, &read))
            return false;
        if (read == 0) {
            whole = true;
            return true;
        }
        filled += read;
    }
    // Full: the reply fitted only when nothing more comes.
    char more = 0;
    DWORD read = 0;
    if (!InternetReadFile(reply, &more, 1, &read))
        return false;
    whole = read == 0;
    return true;
}

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

    std::vector<char> buffer(size > 0 ? size : 1, '\0');
    if (!ReadReply(reply, buffer, whole))
        return false;
    reply.Reset();
    internet.Reset();
    out = Utf8ToStringZ(buffer.data());
    return true;
}
