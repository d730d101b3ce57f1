// DownLoadForSingle: synchronous, up to nine attempts, no messages.

#include "base/Thread.h"
#include "download/Dunmere.h"
#include "tests/support/TempFolder.h"
#include "tests/download/support/MessageSink.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

namespace {

class Single : public ::testing::Test {
protected:
    void SetUp() override { server.Reset(); }

    CTestServer& server = CTestServer::Instance();
    CTempFolder folder;
};

TEST_F(Single, MakesExactlyNineAttemptsAgainstAFailingServer)
{
    server.PutFile("/single/empty.zip", TestBytes(3000, 1));
    server.AddRoute(R"({"path": "/single/empty.zip", "drop_after": 0})");
    struct Case {
        const char* path;
        size_t requestsPerAttempt;
    };
    const Case cases[] = {{"/single/missing.zip", 1}, {"/single/empty.zip", 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_FALSE(DownLoadForSingle(server.Url(c.path), folder.Path()));
        EXPECT_EQ(server.Requests(c.path).size(), 9 * c.requestsPerAttempt);
    }
    EXPECT_FALSE(FileExists(folder / L"empty.zip"));
    EXPECT_FALSE(FileExists(folder / L"missing.zip"));
}

TEST_F(Single, StopsAtTheFirstAttemptThatWorks)
{
    const std::string content = TestBytes(30000, 2);
    server.PutFile("/single/later.zip", content);
    server.AddRoute(R"({"path": "/single/later.zip", "drop_after": 100, "drop_when_range_from": 10000,
                        "drop_times": 1})");
    EXPECT_TRUE(DownLoadForSingle(server.Url("/single/later.zip"), folder.Path()));
    EXPECT_EQ(server.Requests("/single/later.zip").size(), 6u); // two attempts, the second only for part 1
    EXPECT_TRUE(ReadFileBytes(folder / L"later.zip") == content);
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"later.zip"});
}

TEST_F(Single, TwoAtOnceShareNothingAndSendNoMessage)
{
    CMessageSink sink;
    InitDll(sink.Hwnd());
    const std::string one = TestBytes(200000, 3);
    const std::string two = TestBytes(150000, 4);
    server.PutFile("/single/one.zip", one);
    server.PutFile("/single/two.zip", two);
    server.AddRoute(R"({"path": "/single/one.zip", "rate": 200000})");
    server.AddRoute(R"({"path": "/single/two.zip", "rate": 200000})");
    CTempFolder other;

    std::atomic<bool> okOne{false};
    std::atomic<bool> okTwo{false};
    CHandle first =
        StartThread([&] { okOne = DownLoadForSingle(server.Url("/single/one.zip"), folder.Path()); });
    CHandle second =
        StartThread([&] { okTwo = DownLoadForSingle(server.Url("/single/two.zip"), other.Path()); });
    ASSERT_TRUE(sink.WaitForHandle(first, 60000));
    ASSERT_TRUE(sink.WaitForHandle(second, 60000));
    EXPECT_TRUE(okOne);
    EXPECT_TRUE(okTwo);
    EXPECT_TRUE(ReadFileBytes(folder / L"one.zip") == one);
    EXPECT_TRUE(ReadFileBytes(other / L"two.zip") == two);
    EXPECT_TRUE(sink.Messages().empty());
}

} // namespace
