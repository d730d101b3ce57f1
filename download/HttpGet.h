// One download attempt over HTTP/1.1: a length probe, then one connection
// and one thread per byte range, each resuming from its part file, then the
// merge of the part files into the target.
#pragma once

#include "download/HttpHeader.h"
#include "download/PartFile.h"
#include "download/SocketWatch.h"
#include "download/UrlParts.h"

#include <atomic>
#include <cstdint>
#include <vector>

constexpr int kMaxParts = 50;

// What one caller's attempts at one file share: the byte counter, the file
// length the server last told, and the length the part files in the folder
// were written for (0 until an attempt of this caller has probed).
struct AttemptState {
    std::atomic<uint32_t>& counter;
    std::atomic<uint32_t>& total;
    uint32_t partsLength = 0;
};

// One attempt to fetch url into folder + its file name. Every byte received,
// and every byte a part file already holds, is added to the counter; total
// gets the file length once the server has told it. When that length differs
// from the one the part files were written for, they are dropped and every
// part starts from zero. Clearing active makes every part stop after its
// current receive; tripping the watch ends blocked receives at once. True
// when the target was written.
bool HttpDownLoad(const CString& url, const CString& folder, AttemptState& state, int parts,
                  const std::atomic<bool>& active, CSocketWatch* sockets = nullptr);

class CHttpGet {
public:
    CHttpGet(const UrlParts& url, const CString& target, std::atomic<uint32_t>& counter,
             const std::atomic<bool>& active, CSocketWatch* sockets);
    CHttpGet(const CHttpGet&) = delete;
    CHttpGet& operator=(const CHttpGet&) = delete;
    virtual ~CHttpGet() = default;

    bool DownLoadDirect(int parts, AttemptState& state);

    // The request lines sent for a range starting at rangeStart.
    static std::vector<CString> RequestLines(const UrlParts& url, uint32_t rangeStart);

    // The file length a reply to the probe tells, or 0 when it tells none
    // that can be trusted for the whole file.
    static int ProbedLength(const ResponseHeader& header);

private:
    bool ProbeLength();
    bool DownLoadInParts(int parts);
    bool SendGetRequest(CSocket& socket, uint32_t rangeStart, ResponseHeader& header) const;
    bool AnswersRange(const ResponseHeader& header, uint32_t rangeStart) const;
    void PartThreadProc(const PartRange& part);
    bool ReceiveRange(CSocket& socket, HANDLE file, uint32_t remaining);

    const UrlParts m_url;
    const CString m_target;
    std::atomic<uint32_t>& m_counter;
    const std::atomic<bool>& m_active;
    CSocketWatch* const m_sockets;
    std::vector<PartRange> m_parts;
    std::atomic<int> m_finishedParts{0};
    int m_contentLength = 0;
};
