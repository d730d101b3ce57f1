#include "download/HttpGet.h"

#include "base/Thread.h"

#include <windows.h>

namespace {

// Each receive asks for at most this much, and each block is written to the
// part file in one call. Under Wine every receive is a round trip through
// the wineserver, so fewer, larger receives are what makes a download fast.
constexpr uint32_t kReceiveBlock = 64 * 1024;

bool IsSuccessStatus(int status)
{
    return status >= 200 && status <= 206;
}

} // namespace

bool HttpDownLoad(const CString& url, const CString& folder, AttemptState& state, int parts,
                  const std::atomic<bool>& active, CSocketWatch* sockets)
{
    const UrlParts split = SplitUrl(url);
    if (!IsPlainFileName(split.file))
        return false;
    CHttpGet attempt(split, folder + split.file, state.counter, active, sockets);
    return attempt.DownLoadDirect(parts, state);
}

CHttpGet::CHttpGet(const UrlParts& url, const CString& target, std::atomic<uint32_t>& counter,
                   const std::atomic<bool>& active, CSocketWatch* sockets)
    : m_url(url), m_target(target), m_counter(counter), m_active(active), m_sockets(sockets)
{
}

bool CHttpGet::DownLoadDirect(int parts, AttemptState& state)
{
    if (!ProbeLength())
        return false;
    state.total = static_cast<uint32_t>(m_contentLength);
    if (!m_active)
        return false;
    parts = parts < 1 ? 1 : parts > kMaxParts ? kMaxParts : parts;
    // The file on the server is no longer the one the part files hold bytes
    // of: resuming them would mix the two.
    const uint32_t length = static_cast<uint32_t>(m_contentLength);
    if (state.partsLength != 0 && state.partsLength != length && !DeletePartFiles(m_target, parts))
        return false;
    state.partsLength = length;
    return DownLoadInParts(parts);
}

// Asks for the whole file and keeps only the length from the reply header.
// Without a usable length the attempt goes no further, so no target is ever
// created or cut on a guess.
bool CHttpGet::ProbeLength()
{
    CSocket socket = Connect(m_url.host, m_url.port, m_sockets);
    if (!socket.IsValid())
        return false;
    ResponseHeader header;
    if (!SendGetRequest(socket, 0, header))
        return false;
    m_contentLength = ProbedLength(header);
    return m_contentLength > 0;
}

// A 206 counts only when it is the whole file, "bytes 0-(T-1)/T" with a
// Content-Length of T: a slice would be taken for the file.
int CHttpGet::ProbedLength(const ResponseHeader& header)
{
    const int length = ParseContentLength(header.text);
    if (length <= 0)
        return 0;
    if (ParseStatus(header.text) != 206)
        return length;
    const ContentRange range = ParseContentRange(header.text);
    return range.first == 0 && range.total == length && range.last == length - 1 ? length : 0;
}

std::vector<CString> CHttpGet::RequestLines(const UrlParts& url, uint32_t rangeStart)
{
    std::vector<CString> lines(7);
    lines[0].Format(L"GET %s%s HTTP/1.1\r\n", url.dir.GetString(), url.file.GetString());
    lines[1].Format(L"Host: %s\r\n", url.hostHeader.GetString());
    lines[2] = L"Accept: \r\n";
    lines[3].Format(L"Referer: %s\r\n", url.dir.GetString());
    lines[4] = L"User-Agent: Mozilla/4.0 \t\t(compatible; MSIE 5.0; Windows NT; DigExt; DTS Agent;)\r\n";
    lines[5].Format(L"Range: bytes=%d-\r\n", static_cast<int>(rangeStart));
    lines[6] = L"\r\n";
    return lines;
}

// Sends the request, one line per send, and reads the reply header. False
// when a line cannot be sent (the socket is then closed), the header is
// cut off, or the status is not one of 200 to 206.
bool CHttpGet::SendGetRequest(CSocket& socket, uint32_t rangeStart, ResponseHeader& header) const
{
    for (const CString& line : RequestLines(m_url, rangeStart)) {
        if (!socket.SendString(line.ToAnsi()))
            return false;
    }
    header = ReadHeader(socket);
    return header.complete && IsSuccessStatus(ParseStatus(header.text));
}

// A part takes only bytes of the file the probe measured that start where
// it asked: a 206 whose range begins there and whose total is the probed
// length, or a 200 for the whole file when it asked from the start.
bool CHttpGet::AnswersRange(const ResponseHeader& header, uint32_t rangeStart) const
{
    switch (ParseStatus(header.text)) {
    case 206: {
        const ContentRange range = ParseContentRange(header.text);
        return range.first == static_cast<long long>(rangeStart) && range.total == m_contentLength;
    }
    case 200:
        return rangeStart == 0 && ParseContentLength(header.text) == m_contentLength;
    default:
        return false;
    }
}

bool CHttpGet::DownLoadInParts(int parts)
{
    m_finishedParts = 0;
    m_parts = SplitIntoParts(m_target, static_cast<uint32_t>(m_contentLength), parts);

    std::vector<CHandle> threads;
    for (const PartRange& part : m_parts) {
        CHandle thread = StartThread([this, part] { PartThreadProc(part); });
        if (thread)
            threads.push_back(std::move(thread));
    }
    std::vector<HANDLE> handles;
    for (const CHandle& thread : threads)
        handles.push_back(thread.Get());
    if (!handles.empty())
        WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, INFINITE);

    if (m_finishedParts < static_cast<int>(m_parts.size()))
        return false;
    return MergeParts(m_target, m_parts);
}

void CHttpGet::PartThreadProc(const PartRange& part)
{
    const uint32_t length = part.Length();
    const long long existing = ExistingFileSize(part.partFile);
    const uint32_t done = existing <= 0 ? 0 : existing >= length ? length : static_cast<uint32_t>(existing);
    m_counter += done;
    if (done >= length) {
        ++m_finishedParts;
        return;
    }

    CSocket socket = Connect(m_url.host, m_url.port, m_sockets);
    if (!socket.IsValid())
        return;
    const uint32_t rangeStart = part.start + done;
    ResponseHeader header;
    if (!SendGetRequest(socket, rangeStart, header) || !AnswersRange(header, rangeStart))
        return;

    // Opened for writing where the bytes of this part end, created when
    // there are none yet.
    CFileHandle file(CreateFileW(part.partFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file ||
        SetFilePointer(file, static_cast<LONG>(done), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return;
    if (!m_active)
        return;
    if (ReceiveRange(socket, file, length - done) && CloseHandle(file.Detach()))
        ++m_finishedParts;
}

// Writes the next `remaining` bytes of the body to the part file; false when
// the connection fails or closes first, or the download is being stopped.
bool CHttpGet::ReceiveRange(CSocket& socket, HANDLE file, uint32_t remaining)
{
    std::vector<char> buffer(kReceiveBlock);
    uint32_t received = 0;
    while (received < remaining) {
        const uint32_t want = remaining - received < kReceiveBlock ? remaining - received : kReceiveBlock;
        const int n = socket.Receive(buffer.data(), static_cast<int>(want));
        if (n <= 0)
            return false;
        DWORD written = 0;
        if (!WriteFile(file, buffer.data(), static_cast<DWORD>(n), &written, nullptr) ||
            written != static_cast<DWORD>(n))
            return false;
        received += static_cast<uint32_t>(n);
        m_counter += static_cast<uint32_t>(n);
        if (!m_active)
            return false;
    }
    return true;
}
