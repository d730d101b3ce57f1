// The queue behind Dunmere.dll's exports: limits, order, messages, stops.

#include "download/Dunmere.h"
#include "tests/download/support/MessageSink.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kMessageTimeoutMs = 30000;

// A file the server sends slowly enough to keep its task running for long.
CString PutSlowFile(CTestServer& server, const std::string& path, size_t size = 1 << 20, int rate = 20000)
{
    server.PutFile(path.c_str(), TestBytes(size, static_cast<unsigned>(path.size())));
    server.AddRoute(R"({"path": ")" + path + R"(", "rate": )" + std::to_string(rate) + "}");
    return server.Url(path.c_str());
}

class Queue : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.Reset();
        InitDll(sink.Hwnd());
    }

    // Every record was confirmed, however many tasks were sending at once.
    void TearDown() override { EXPECT_EQ(sink.Unmarked(), 0); }

    // Stops every URL and waits until each has reported being stopped.
    void StopAll(const std::vector<CString>& urls, const std::vector<CString>& titles)
    {
        std::vector<int> before;
        for (const CString& title : titles)
            before.push_back(sink.Count(WM_DOWNLOAD_STOPPED, title));
        for (const CString& url : urls)
            EXPECT_EQ(PauseDownload(url), 1);
        for (size_t i = 0; i < titles.size(); ++i) {
            EXPECT_TRUE(sink.WaitUntil([&] { return sink.Count(WM_DOWNLOAD_STOPPED, titles[i]) > before[i]; },
                                       kMessageTimeoutMs))
                << titles[i].ToUtf8();
        }
    }

    CTestServer& server = CTestServer::Instance();
    CMessageSink sink;
    CTempFolder folder;
};

TEST_F(Queue, RunsAtMostTheMaximumAndIgnoresValuesOutsideOneToTen)
{
    struct Case {
        std::vector<int> settings; // ChangeDownFileNum calls, in order
        int maximum;
    };
    const Case cases[] = {{{1}, 1}, {{2}, 2}, {{10}, 10}, {{2, 0, 11}, 2}, {{10, -1, 11}, 10}};
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maximum);
        ++round;
        for (int n : c.settings)
            EXPECT_EQ(ChangeDownFileNum(n), n);
        std::vector<CString> urls;
        std::vector<CString> titles;
        for (int i = 0; i <= c.maximum; ++i) {
            CString title;
            title.Format(L"limit%d_%d", round, i);
            titles.push_back(title);
            urls.push_back(PutSlowFile(server, "/limit/" + title.ToUtf8() + ".bin"));
            const int code = DownLoadByTask(urls.back(), folder.Path(), i);
            EXPECT_EQ(code, i < c.maximum ? 1 : 2) << "task " << i;
        }
        // The running ones reach the server; the one past the limit does not.
        for (int i = 0; i < c.maximum; ++i)
            EXPECT_TRUE(server.WaitForRequests(1, "/limit/" + titles[i].ToUtf8() + ".bin"));
        EXPECT_TRUE(server.Requests("/limit/" + titles.back().ToUtf8() + ".bin").empty());

        StopAll(urls, titles);
        for (const CString& title : titles)
            EXPECT_EQ(sink.Count(WM_DOWNLOAD_STOPPED, title), 1);
        for (const SinkMessage& m : sink.Messages())
            EXPECT_NE(m.message, WM_DOWNLOAD_FINISHED);
    }
}

TEST_F(Queue, TasksFinishOneAfterTheOtherWithTitlesAndPercent)
{
    ChangeDownFileNum(1);
    const CString a = PutSlowFile(server, "/order/b.c.zip", 60000, 50000);
    const CString b = PutSlowFile(server, "/order/noext", 60000, 50000);
    EXPECT_EQ(DownLoadByTask(a, folder.Path(), 7), 1);
    EXPECT_EQ(DownLoadByTask(a, folder.Path(), 8), 2); // the same URL is not queued again
    EXPECT_EQ(DownLoadByTask(b, folder.Path(), 9), 2);
    ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_FINISHED, b, kMessageTimeoutMs));

    // All of a's messages, then all of b's.
    const std::vector<SinkMessage>& messages = sink.Messages();
    struct Expected {
        const wchar_t* title;
        const CString& url;
        int param;
    };
    const Expected tasks[] = {{L"b.c", a, 7}, {L"", b, 9}};
    size_t next = 0;
    for (const Expected& task : tasks) {
        SCOPED_TRACE(task.url.ToUtf8());
        int progress = 0;
        DWORD lastProgress = 0;
        for (; next < messages.size() && messages[next].message == WM_DOWNLOAD_PROGRESS; ++next) {
            const SinkMessage& m = messages[next];
            EXPECT_EQ(m.text, task.title);
            EXPECT_EQ(m.param, task.param);
            EXPECT_GT(m.percent, 0);
            EXPECT_LT(m.percent, 100);
            lastProgress = m.tick;
            ++progress;
        }
        EXPECT_GT(progress, 0);
        ASSERT_LT(next, messages.size());
        EXPECT_EQ(messages[next].message, WM_DOWNLOAD_FINISHED);
        EXPECT_EQ(messages[next].text, task.url);
        EXPECT_EQ(messages[next].param, task.param);
        EXPECT_GE(messages[next].tick - lastProgress, 1900u); // the pause before reporting
        ++next;
    }
    EXPECT_EQ(next, messages.size());

    EXPECT_EQ(server.Requests("/order/b.c.zip").size(), 4u);
    EXPECT_TRUE(ReadFileBytes(folder / L"b.c.zip") == TestBytes(60000, 14));
    EXPECT_TRUE(ReadFileBytes(folder / L"noext") == TestBytes(60000, 12));
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"b.c.zip", "noext"}));
}

TEST_F(Queue, StoppingRunningAndWaitingTasksFreesTheirPlaces)
{
    ChangeDownFileNum(1);
    const CString a = PutSlowFile(server, "/stop/a.zip");
    const CString b = PutSlowFile(server, "/stop/b.zip");
    server.PutFile("/stop/c.zip", TestBytes(5000, 3));
    const CString c = server.Url("/stop/c.zip");
    EXPECT_EQ(PauseDownload(server.Url("/stop/none.zip")), 1); // not queued: nothing happens
    EXPECT_EQ(PauseDownload(CString()), 1);
    EXPECT_EQ(DownLoadByTask(a, folder.Path(), 1), 1);
    EXPECT_EQ(DownLoadByTask(b, folder.Path(), 2), 2);
    EXPECT_EQ(DownLoadByTask(c, folder.Path(), 3), 2);
    ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_PROGRESS, L"a", kMessageTimeoutMs));

    // A waiting task leaves the queue at once, without ever being fetched.
    EXPECT_EQ(PauseDownload(b), 1);
    ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_STOPPED, L"b", kMessageTimeoutMs));
    EXPECT_EQ(sink.About(L"b").front().param, 2);
    EXPECT_TRUE(server.Requests("/stop/b.zip").empty());

    // A running one ends, keeps its part files, and its place goes to c.
    EXPECT_EQ(PauseDownload(a), 1);
    ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_STOPPED, L"a", kMessageTimeoutMs));
    ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_FINISHED, c, kMessageTimeoutMs));
    const std::vector<SinkMessage> aMessages = sink.About(L"a");
    EXPECT_EQ(aMessages.back().message, WM_DOWNLOAD_STOPPED);
    EXPECT_EQ(aMessages.back().param, 1);
    EXPECT_FALSE(FileExists(folder / L"a.zip"));
    EXPECT_TRUE(FileExists(folder / L"a.zip_0"));

    // Both are gone from the queue: b can be queued anew and runs.
    EXPECT_EQ(DownLoadByTask(b, folder.Path(), 4), 1);
    StopAll({b}, {L"b"});
    EXPECT_EQ(sink.Count(WM_DOWNLOAD_STOPPED, L"b"), 2);
    EXPECT_EQ(sink.Count(WM_DOWNLOAD_STOPPED, L"none"), 0);
    EXPECT_EQ(sink.Count(WM_DOWNLOAD_FINISHED, a), 0);
}

TEST_F(Queue, StopDuringThePauseBetweenAttemptsComesAtOnce)
{
    ChangeDownFileNum(2);
    const CString missing = server.Url("/pause/missing.zip"); // 404: every attempt fails
    EXPECT_EQ(DownLoadByTask(missing, folder.Path(), 5), 1);
    ASSERT_TRUE(server.WaitForRequests(1, "/pause/missing.zip"));
    const DWORD asked = GetTickCount();
    EXPECT_EQ(PauseDownload(missing), 1);
    ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_STOPPED, L"missing", kMessageTimeoutMs));
    EXPECT_LT(GetTickCount() - asked, 5000u);
    EXPECT_EQ(server.Requests("/pause/missing.zip").size(), 1u);
    EXPECT_TRUE(folder.Files().empty());
}

} // namespace
