// A server that stops sending: the attempt gives up after the socket
// time-out instead of hanging, and keeps what had come.

#include "base/Thread.h"
#include "download/HttpGet.h"
#include "download/Progress.h"
#include "download/Socket.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

namespace {

TEST(Stall, SilentServerEndsTheAttemptAfterTheTimeOut)
{
    CTestServer& server = CTestServer::Instance();
    const std::string content = TestBytes(3000, 21);
    server.PutFile("/stall/probe.bin", content);
    server.PutFile("/stall/part.bin", content);
    server.AddRoute(R"({"path": "/stall/probe.bin", "stall": true})");
    server.AddRoute(
        R"({"path": "/stall/part.bin", "when_range_from": 1000, "stall": true, "stall_after": 100})");

    // Both stalls at once, so the program pays the time-out only once.
    struct Run {
        const char* path;
        CTempFolder folder;
        std::atomic<bool> ok{true};
        CHandle thread;
    };
    Run runs[2];
    runs[0].path = "/stall/probe.bin";
    runs[1].path = "/stall/part.bin";
    const DWORD start = GetTickCount();
    for (Run& run : runs) {
        run.thread = StartThread([&run, &server] {
            std::atomic<uint32_t> counter{0};
            std::atomic<uint32_t> total{kUnknownLength};
            AttemptState state{counter, total};
            const std::atomic<bool> active{true};
            run.ok = HttpDownLoad(server.Url(run.path), run.folder.Path(), state, 3, active);
        });
        ASSERT_TRUE(run.thread.IsValid());
    }
    for (Run& run : runs)
        ASSERT_EQ(WaitForSingleObject(run.thread, 3 * kSocketTimeoutMs), WAIT_OBJECT_0) << run.path;
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed + 1000, kSocketTimeoutMs);

    EXPECT_FALSE(runs[0].ok);
    EXPECT_TRUE(runs[0].folder.Files().empty());

    EXPECT_FALSE(runs[1].ok);
    EXPECT_FALSE(FileExists(runs[1].folder / L"part.bin"));
    EXPECT_TRUE(ReadFileBytes(runs[1].folder / L"part.bin_1") == content.substr(1000, 100));
    EXPECT_TRUE(ReadFileBytes(runs[1].folder / L"part.bin_2") == content.substr(2000));
}

} // namespace
