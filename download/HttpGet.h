// One download attempt over HTTP/1.1: a length probe, then one connection
// and one thread per byte range, each resuming from its part file, then the
// merge of the part files into the target.
#pragma once

#include "download/HttpHeader.h"
#include "download/PartFile.h"
#include "download/UrlParts.h"

#include <atomic>
#include <cstdint>
#include <vector>

constexpr int kMaxParts = 50;

// One attempt to fetch url into folder + its file name. Every byte received,
// and every byte a part file already holds, is added to counter; total gets
// the file length once the server has told it. Clearing active makes every
// part stop after its current receive. True when the target was written.
bool HttpDownLoad(const CString& url, const CString& folder, std::atomic<uint32_t>& counter,
                  std::atomic<uint32_t>& total, int parts, const std::atomic<bool>& active);

class CHttpGet {
public:
    CHttpGet(const UrlParts& url, const CString& target, std::atomic<uint32_t>& counter,
             const std::atomic<bool>& active);
    CHttpGet(const CHttpGet&) = delete;
    CHttpGet& operator=(const CHttpGet&) = delete;
    virtual ~CHttpGet() = default;

    bool DownLoadDirect(int parts, std::atomic<uint32_t>& total);

    // The request lines sent for a range starting at rangeStart.
    static std::vector<CString> RequestLines(const UrlParts& url, uint32_t rangeStart);

private:
    bool ProbeLength();
    bool DownLoadInParts(int parts);
    bool SendGetRequest(CSocket& socket, uint32_t rangeStart, ResponseHeader& header) const;
    bool AnswersRange(const ResponseHeader& header, uint32_t rangeStart) const;
    void PartThreadProc(const PartRange& part);
    bool ReceiveRange(CSocket& socket, FILE* file, uint32_t remaining);

    const UrlParts m_url;
    const CString m_target;
    std::atomic<uint32_t>& m_counter;
    const std::atomic<bool>& m_active;
    std::vector<PartRange> m_parts;
    std::atomic<int> m_finishedParts{0};
    int m_contentLength = 0;
};
