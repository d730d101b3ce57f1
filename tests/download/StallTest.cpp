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

// A receive blocked on a peer that never answers nor closes (its connection
// waits in a listening socket's backlog, never accepted) ends at once when
// the watch is tripped; a socket that comes after the trip is refused.
TEST(Stall, TrippedWatchEndsABlockedReceive)
{
    CTestServer::Instance(); // starts Windows Sockets
    CSocket listener(socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    ASSERT_EQ(bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(listener.Get(), 1), 0);
    ASSERT_EQ(getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &size), 0);

    CSocketWatch watch;
    CSocket silent = Connect(L"127.0.0.1", ntohs(address.sin_port), &watch);
    ASSERT_TRUE(silent.IsValid());
    std::atomic<int> received{1};
    CHandle reader = StartThread([&] {
        char byte = 0;
        received = silent.Receive(&byte, 1);
    });
    EXPECT_EQ(WaitForSingleObject(reader, 500), static_cast<DWORD>(WAIT_TIMEOUT)); // blocked
    const DWORD tripped = GetTickCount();
    watch.Trip();
    ASSERT_EQ(WaitForSingleObject(reader, 10000), WAIT_OBJECT_0);
    EXPECT_LT(GetTickCount() - tripped, 1000u);
    EXPECT_LE(received, 0);

    EXPECT_FALSE(Connect(L"127.0.0.1", ntohs(address.sin_port), &watch).IsValid());
}

} // namespace
