#include "download/HttpGet.h"

#include "base/Thread.h"

#include <windows.h>

namespace {

constexpr uint32_t kReceiveBlock = 1024;

bool IsSuccessStatus(int status)
{
    return status >= 200 && status <= 206;
}

} // namespace

bool HttpDownLoad(const CString& url, const CString& folder, std::atomic<uint32_t>& counter,
                  std::atomic<uint32_t>& total, int parts, const std::atomic<bool>& active)
{
    const UrlParts split = SplitUrl(url);
    if (!IsPlainFileName(split.file))
        return false;
    CHttpGet attempt(split, folder + split.file, counter, active);
    return attempt.DownLoadDirect(parts, total);
}

CHttpGet::CHttpGet(const UrlParts& url, const CString& target, std::atomic<uint32_t>& counter,
                   const std::atomic<bool>& active)
    : m_url(url), m_target(target), m_counter(counter), m_active(active)
{
}

bool CHttpGet::DownLoadDirect(int parts, std::atomic<uint32_t>& total)
{
    if (!ProbeLength())
        return false;
    total = static_cast<uint32_t>(m_contentLength);
    if (!m_active)
        return false;
    return DownLoadInParts(parts < 1 ? 1 : parts > kMaxParts ? kMaxParts : parts);
}

// Asks for the whole file and keeps only the length from the reply header.
// Without a usable length the attempt goes no further, so no target is ever
// created or cut on a guess.
bool CHttpGet::ProbeLength()
{
    CSocket socket = Connect(m_url.host, m_url.port);
    if (!socket.IsValid())
        return false;
    ResponseHeader header;
    if (!SendGetRequest(socket, 0, header))
        return false;
    m_contentLength = ParseContentLength(header.text);
    return m_contentLength > 0;
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

// A part takes only bytes that start where it asked: a 206 whose range
// begins there, or a 200 for the whole file when it asked from the start.
bool CHttpGet::AnswersRange(const ResponseHeader& header, uint32_t rangeStart) const
{
    switch (ParseStatus(header.text)) {
    case 206:
        return ParseContentRangeStart(header.text) == static_cast<long long>(rangeStart);
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

    CSocket socket = Connect(m_url.host, m_url.port);
    if (!socket.IsValid())
        return;
    const uint32_t rangeStart = part.start + done;
    ResponseHeader header;
    if (!SendGetRequest(socket, rangeStart, header) || !AnswersRange(header, rangeStart))
        return;

    CFilePtr file(_wfopen(part.partFile, existing >= 0 ? L"r+b" : L"w+b"));
    if (!file || fseek(file.get(), static_cast<long>(done), SEEK_SET) != 0)
        return;
    if (!m_active)
        return;
    if (ReceiveRange(socket, file.get(), length - done) && fclose(file.release()) == 0)
        ++m_finishedParts;
}

// Writes the next `remaining` bytes of the body to the part file; false when
// the connection fails or closes first, or the download is being stopped.
bool CHttpGet::ReceiveRange(CSocket& socket, FILE* file, uint32_t remaining)
{
    char buffer[kReceiveBlock];
    uint32_t received = 0;
    while (received < remaining) {
        const uint32_t want = remaining - received < kReceiveBlock ? remaining - received : kReceiveBlock;
        const int n = socket.Receive(buffer, static_cast<int>(want));
        if (n <= 0)
            return false;
        if (fwrite(buffer, 1, static_cast<size_t>(n), file) != static_cast<size_t>(n))
            return false;
        received += static_cast<uint32_t>(n);
        m_counter += static_cast<uint32_t>(n);
        if (!m_active)
            return false;
    }
    return true;
}
