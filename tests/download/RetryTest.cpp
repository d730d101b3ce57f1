// A queued task whose attempt breaks off is tried again 10 s later and
// resumes from its part files.

#include "download/Dunmere.h"
#include "tests/support/TempFolder.h"
#include "tests/download/support/MessageSink.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

namespace {

std::string RangeOf(const std::string& request)
{
    const size_t pos = request.find("\r\nRange: bytes=");
    return pos == std::string::npos ? std::string()
                                    : request.substr(pos + 15, request.find("-\r\n", pos) - pos - 15);
}

TEST(Retry, BrokenPartIsResumedAtTheNextAttempt)
{
    CTestServer& server = CTestServer::Instance();
    CMessageSink sink;
    CTempFolder folder;
    InitDll(sink.Hwnd());
    const std::string content = TestBytes(300000, 31);
    server.PutFile("/retry/r.zip", content);
    server.AddRoute(R"({"path": "/retry/r.zip", "drop_after": 20000, "drop_when_range_from": 100000,
                        "drop_times": 1})");
    const CString url = server.Url("/retry/r.zip");

    const DWORD start = GetTickCount();
    EXPECT_EQ(DownLoadByTask(url, folder.Path(), 42), 1);
    ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_FINISHED, url, 60000));
    EXPECT_GE(GetTickCount() - start, 11900u); // 10 s between attempts, 2 s before reporting

    std::vector<std::string> ranges;
    for (const std::string& request : server.Requests("/retry/r.zip"))
        ranges.push_back(RangeOf(request));
    ASSERT_EQ(ranges.size(), 6u); // probe and three parts, then probe and the broken part
    EXPECT_EQ(ranges[4], "0");
    EXPECT_EQ(ranges[5], "120000");
    EXPECT_TRUE(ReadFileBytes(folder / L"r.zip") == content);
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"r.zip"});
    EXPECT_EQ(sink.Count(WM_DOWNLOAD_FINISHED, url), 1);
    for (const SinkMessage& m : sink.About(L"r"))
        EXPECT_LT(m.percent, 100);
}

} // namespace
