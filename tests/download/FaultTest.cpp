// Misbehaving servers and awkward URLs against the real Dunmere.dll: the
// target is the server's file byte for byte or it is absent, and a wrong
// file is never reported finished, by DownLoadForSingle or by the queue.

#include "download/Dunmere.h"
#include "tests/download/support/MessageSink.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr DWORD kMessageTimeoutMs = 40000;

// One server behaviour. The server's file at `path` is `served`; `routes`
// make it misbehave. Afterwards the target holds `expected`, or is absent
// when that is null.
struct FaultCase {
    const char* what;
    const char* path;
    std::string served;
    std::string routes; // a JSON list, or empty
    const std::string* expected;
    std::vector<std::pair<const char*, std::string>> extraFiles;
};

const std::string k300k = TestBytes(300000, 41);
const std::string k330k = TestBytes(330000, 42);

CString FromAscii(const char* ascii)
{
    CString text;
    for (; *ascii; ++ascii)
        text += static_cast<wchar_t>(*ascii);
    return text;
}

// The file title the messages carry: the name before its last '.'.
CString TitleOf(const char* name)
{
    const std::string text(name);
    const size_t dot = text.rfind('.');
    return dot == std::string::npos ? CString() : FromAscii(text.substr(0, dot).c_str());
}

std::vector<FaultCase> FaultCases(const char* tag)
{
    const std::string dir = std::string("/fault/") + tag + "/";
    const std::string grow = dir + "grow.zip";
    const std::string shrink = dir + "shrink.zip";
    const std::string between = dir + "between.zip";
    // The first file for the probe and the three parts of the first attempt
    // (one part broken off), the second one from then on.
    auto changed = [&](const std::string& path, const char* old, int brokenPart) {
        return R"([{"path": ")" + path + R"(", "file": ")" + dir.substr(1) + old +
               R"(", "times": 4, "drop_after": 30000, "drop_when_range_from": )" +
               std::to_string(brokenPart) + "}]";
    };
    return {
        {"the file grows between attempts",
         "grow.zip",
         k330k,
         changed(grow, "first300k", 100000),
         &k330k,
         {{"first300k", k300k}}},
        {"the file shrinks between attempts",
         "shrink.zip",
         k300k,
         changed(shrink, "first330k", 110000),
         &k300k,
         {{"first330k", k330k}}},
        {"the file changes between the probe and the parts",
         "between.zip",
         k330k,
         R"([{"path": ")" + between + R"(", "file": ")" + dir.substr(1) + R"(first300k", "times": 1}])",
         &k330k,
         {{"first300k", k300k}}},
        {"the probe is answered with a 206 slice",
         "slice.zip",
         k300k,
         R"([{"path": ")" + dir + R"(slice.zip", "status": 206, "drop_after": 65536,
              "headers": {"Content-Range": "bytes 0-65535/300000", "Content-Length": "65536"}}])",
         nullptr,
         {}},
        {"the URL ends in a slash", "", k300k, "", nullptr, {}},
        {"the URL ends in ..", "..", k300k, "", nullptr, {}},
    };
}

// The folder holds the expected target and nothing else, or nothing.
void ExpectTarget(const FaultCase& c, const CTempFolder& folder, const CString& target)
{
    if (c.expected) {
        EXPECT_TRUE(ReadFileBytes(target) == *c.expected);
        EXPECT_EQ(folder.Files().size(), 1u);
    } else {
        EXPECT_TRUE(folder.Files().empty());
    }
}

class Faults : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.Reset();
        InitDll(sink.Hwnd());
    }

    // Puts the case's files and routes on the server; its URL.
    CString Prepare(const FaultCase& c, const char* tag)
    {
        const std::string dir = std::string("/fault/") + tag + "/";
        if (*c.path && std::string(c.path) != "..")
            server.PutFile((dir + c.path).c_str(), c.served);
        for (const auto& extra : c.extraFiles)
            server.PutFile((dir + extra.first).c_str(), extra.second);
        if (!c.routes.empty())
            server.AddRoute(c.routes);
        return server.Url((dir + c.path).c_str());
    }

    CTestServer& server = CTestServer::Instance();
    CMessageSink sink;
};

TEST_F(Faults, SingleDownloadGivesTheServersFileOrNone)
{
    for (const FaultCase& c : FaultCases("single")) {
        SCOPED_TRACE(c.what);
        CTempFolder folder;
        const CString url = Prepare(c, "single");
        EXPECT_EQ(DownLoadForSingle(url, folder.Path()), c.expected != nullptr);
        ExpectTarget(c, folder, folder.Path() + FromAscii(c.path));
    }
    EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(Faults, QueueReportsFinishedOnlyForTheServersFile)
{
    ChangeDownFileNum(10);
    const std::vector<FaultCase> cases = FaultCases("queue");
    std::vector<std::unique_ptr<CTempFolder>> folders;
    std::vector<CString> urls;
    for (size_t i = 0; i < cases.size(); ++i) {
        folders.push_back(std::make_unique<CTempFolder>());
        urls.push_back(Prepare(cases[i], "queue"));
        DownLoadByTask(urls.back(), folders.back()->Path(), static_cast<int>(i));
    }
    // Those with a file to give get it at the second attempt, 10 s after the
    // first; by then the others have had two attempts as well.
    for (size_t i = 0; i < cases.size(); ++i) {
        if (cases[i].expected) {
            EXPECT_TRUE(sink.WaitFor(WM_DOWNLOAD_FINISHED, urls[i], kMessageTimeoutMs)) << cases[i].what;
        }
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(sink.Count(WM_DOWNLOAD_FINISHED, urls[i]), cases[i].expected ? 1 : 0);
        ExpectTarget(cases[i], *folders[i], folders[i]->Path() + FromAscii(cases[i].path));
        if (!cases[i].expected) {
            EXPECT_EQ(PauseDownload(urls[i]), 1);
        }
    }
    // The others were still running, and stop.
    for (size_t i = 0; i < cases.size(); ++i) {
        if (!cases[i].expected) {
            const CString title = TitleOf(cases[i].path);
            EXPECT_TRUE(sink.WaitFor(WM_DOWNLOAD_STOPPED, title, kMessageTimeoutMs)) << cases[i].what;
        }
    }
}

// A stop while a receive is blocked on a silent server ends it at once.
TEST_F(Faults, StopEndsAReceiveBlockedOnASilentServer)
{
    const std::string content = TestBytes(300000, 43);
    struct Case {
        const char* what;
        const char* name;
        const char* route;
        int requests;     // logged once the receive is blocked
        size_t partBytes; // what part 1 holds then
    };
    const Case cases[] = {
        {"the probe gets no header", "probe.zip", R"("when_range_from": 0, "times": 1, "stall": true)", 1, 0},
        {"a part gets no header", "header.zip", R"("when_range_from": 100000, "stall": true)", 4, 0},
        {"a part's body stops", "body.zip",
         R"("when_range_from": 100000, "stall": true, "stall_after": 20000)", 4, 20000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTempFolder folder;
        const std::string path = std::string("/stall/") + c.name;
        server.PutFile(path.c_str(), content);
        server.AddRoute(R"({"path": ")" + path + R"(", )" + c.route + "}");
        const CString url = server.Url(path.c_str());
        const CString partFile = folder.Path() + FromAscii(c.name) + L"_1";
        EXPECT_EQ(DownLoadByTask(url, folder.Path(), 1), 1);
        ASSERT_TRUE(server.WaitForRequests(c.requests, path));
        ASSERT_TRUE(sink.WaitUntil([&] { return ReadFileBytes(partFile).size() >= c.partBytes; }, 10000));

        const DWORD asked = GetTickCount();
        EXPECT_EQ(PauseDownload(url), 1);
        ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_STOPPED, TitleOf(c.name), kMessageTimeoutMs));
        EXPECT_LT(GetTickCount() - asked, 1000u);
        EXPECT_FALSE(FileExists(folder.Path() + FromAscii(c.name)));
        EXPECT_TRUE(ReadFileBytes(partFile) == content.substr(100000, c.partBytes));
        EXPECT_EQ(sink.Count(WM_DOWNLOAD_FINISHED, url), 0);
    }
}

// WM_DOWNLOAD_STOPPED comes while the task is still queued: queuing its URL
// again from the handler is refused as a duplicate, and nothing more is
// fetched for it.
TEST_F(Faults, StoppedTaskCannotBeQueuedAgainFromItsMessage)
{
    ChangeDownFileNum(1);
    CTempFolder folder;
    const std::string content = TestBytes(1 << 20, 44);
    server.PutFile("/again/running.zip", content);
    server.PutFile("/again/waiting.zip", content);
    server.AddRoute(R"([{"path": "/again/running.zip", "rate": 20000},
                        {"path": "/again/waiting.zip", "rate": 20000}])");
    const CString running = server.Url("/again/running.zip");
    const CString waiting = server.Url("/again/waiting.zip");
    std::vector<int> codes;
    sink.OnMessage([&](const SinkMessage& m) {
        if (m.message == WM_DOWNLOAD_STOPPED)
            codes.push_back(DownLoadByTask(m.text == L"running" ? running : waiting, folder.Path(), 9));
    });

    EXPECT_EQ(DownLoadByTask(running, folder.Path(), 1), 1);
    EXPECT_EQ(DownLoadByTask(waiting, folder.Path(), 2), 2);
    ASSERT_TRUE(server.WaitForRequests(4, "/again/running.zip"));

    // The waiting one first: the running one keeps the only place.
    EXPECT_EQ(PauseDownload(waiting), 1);
    ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_STOPPED, L"waiting", kMessageTimeoutMs));
    EXPECT_EQ(PauseDownload(running), 1);
    ASSERT_TRUE(sink.WaitFor(WM_DOWNLOAD_STOPPED, L"running", kMessageTimeoutMs));
    // Queued anew, either would start now that the place is free.
    EXPECT_EQ(codes, (std::vector<int>{2, 3}));
    EXPECT_FALSE(server.WaitForRequests(5, "/again/running.zip", 2));
    EXPECT_TRUE(server.Requests("/again/waiting.zip").empty());
    EXPECT_EQ(sink.Count(WM_DOWNLOAD_STOPPED, L"running"), 1);
    EXPECT_EQ(sink.Count(WM_DOWNLOAD_STOPPED, L"waiting"), 1);
}

} // namespace
