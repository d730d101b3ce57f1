#include "app/common/HttpText.h"

#include "app/common/TextUtils.h"
#include "app/common/WinInet.h"
#include "base/Handle.h"

#include <cstring>
#include <vector>

namespace {

using CInternetHandle = CUniqueHandle<NullHandleTraits<HINTERNET, &WinInetCloseHandle>>;

// Reads the reply into buffer until it ends, leaving the buffer's last byte
// free; filled is how much came. False when a read fails or the reply goes
// on past that. The reply may arrive in several pieces.
bool ReadWholeReply(HINTERNET reply, std::vector<char>& buffer, DWORD& filled)
{
    const DWORD capacity = static_cast<DWORD>(buffer.size() - 1);
    filled = 0;
    while (filled < capacity) {
        DWORD read = 0;
        if (!WinInetReadFile(reply, buffer.data() + filled, capacity - filled, &read))
            return false;
        if (read == 0)
            return true;
        filled += read;
    }
    // Full: the reply fitted only when nothing more comes.
    char more = 0;
    DWORD read = 0;
    return WinInetReadFile(reply, &more, 1, &read) && read == 0;
}

// The reply holds as many bytes as its server announced, when it announced
// a length at all.
bool LengthAsAnnounced(HINTERNET reply, DWORD filled)
{
    DWORD announced = 0;
    DWORD length = sizeof(announced);
    if (!WinInetHttpQueryInfo(reply, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &announced, &length,
                              nullptr))
        return true;
    return announced == filled;
}

} // namespace

bool HttpGetText(const CString& url, CString& out, DWORD size)
{
    CInternetHandle internet(WinInetOpen(L"GetContent", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet)
        return false;
    CInternetHandle reply(WinInetOpenUrl(internet, url, nullptr, 0, 0, 0));
    if (!reply)
        return false;

    std::vector<char> buffer(size > 0 ? size : 1, '\0');
    DWORD filled = 0;
    if (!ReadWholeReply(reply, buffer, filled) || !LengthAsAnnounced(reply, filled) ||
        std::memchr(buffer.data(), '\0', filled))
        return false;
    reply.Reset();
    internet.Reset();
    out = Utf8ToStringZ(buffer.data());
    return true;
}
