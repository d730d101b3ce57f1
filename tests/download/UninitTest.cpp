// Messages sent before InitDll go nowhere, and the queue goes on working.

#include "download/Dunmere.h"
#include "tests/support/TempFolder.h"
#include "tests/download/support/MessageSink.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

namespace {

TEST(BeforeInitDll, MessagesAreLostWithoutHarm)
{
    CTestServer& server = CTestServer::Instance();
    CTempFolder folder;
    const std::string early = TestBytes(60000, 1);
    const std::string late = TestBytes(60000, 2);
    server.PutFile("/early/first.zip", early);
    server.PutFile("/early/second.zip", late);
    server.AddRoute(R"({"path": "/early/first.zip", "rate": 60000})");
    server.AddRoute(R"({"path": "/early/second.zip", "rate": 30000})");
    const CString first = server.Url("/early/first.zip");
    const CString second = server.Url("/early/second.zip");

    ChangeDownFileNum(1);
    EXPECT_EQ(DownLoadByTask(first, folder.Path(), 1), 1);
    EXPECT_EQ(DownLoadByTask(second, folder.Path(), 2), 2);
    // The second task starts only once the first one's finished message
    // has been sent to no window.
    ASSERT_TRUE(server.WaitForRequests(1, "/early/second.zip"));

    CMessageSink sink;
    EXPECT_TRUE(InitDll(sink.Hwnd()));
    ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_FINISHED, second, 30000));
    EXPECT_TRUE(sink.About(L"first").empty());
    EXPECT_EQ(sink.Count(WM_DOWNLOAD_FINISHED, first), 0);
    EXPECT_TRUE(ReadFileBytes(folder / L"first.zip") == early);
    EXPECT_TRUE(ReadFileBytes(folder / L"second.zip") == late);
}

} // namespace
