// One download attempt against the test server: request lines, ranges,
// resuming from part files, and replies that must not end up in a target.

#include "base/Thread.h"
#include "download/HttpGet.h"
#include "download/Progress.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct AttemptResult {
    bool ok = false;
    uint32_t counter = 0;
    uint32_t total = 0;
};

AttemptResult Attempt(const CString& url, const CTempFolder& folder)
{
    std::atomic<uint32_t> counter{0};
    std::atomic<uint32_t> total{kUnknownLength};
    AttemptState state{counter, total};
    const std::atomic<bool> active{true};
    AttemptResult result;
    result.ok = HttpDownLoad(url, folder.Path(), state, 3, active);
    result.counter = counter;
    result.total = total;
    return result;
}

// The value of the request's Range line, "" without one.
std::string RangeOf(const std::string& request)
{
    const size_t pos = request.find("\r\nRange: bytes=");
    if (pos == std::string::npos)
        return std::string();
    const size_t start = pos + 15;
    return request.substr(start, request.find("-\r\n", start) - start);
}

std::vector<std::string> RangesOf(const std::vector<std::string>& requests)
{
    std::vector<std::string> ranges;
    for (const std::string& r : requests)
        ranges.push_back(RangeOf(r));
    return ranges;
}

std::vector<std::string> Sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

std::vector<std::string> Names(std::initializer_list<const char*> names)
{
    return Sorted(std::vector<std::string>(names.begin(), names.end()));
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override { server.Reset(); }

    CTestServer& server = CTestServer::Instance();
    CTempFolder folder;
};

TEST_F(Engine, RequestLinesAndThePartsOfATenByteFile)
{
    const std::string content = "0123456789";
    server.PutFile("/req/dir/ten.bin", content);
    const CString url = server.Url("/req/dir/ten.bin");

    const AttemptResult result = Attempt(url, folder);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.total, 10u);
    EXPECT_EQ(result.counter, 10u);
    EXPECT_EQ(ReadFileBytes(folder / L"ten.bin"), content);

    const std::string absolute = url.ToUtf8();
    const std::string host = "127.0.0.1:" + std::to_string(server.Port());
    auto expected = [&](const char* from) {
        return "GET " + absolute + " HTTP/1.1\r\nHost: " + host + "\r\nAccept: \r\nReferer: http://" + host +
               "/req/dir/\r\nUser-Agent: Mozilla/4.0 \t\t(compatible; MSIE 5.0; Windows NT; DigExt; DTS "
               "Agent;)"
               "\r\nRange: bytes=" +
               from + "-\r\n\r\n";
    };
    const std::vector<std::string> requests = server.Requests("/req/dir/ten.bin");
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0], expected("0")); // the length probe comes first
    EXPECT_EQ(Sorted({requests[1], requests[2], requests[3]}),
              Sorted({expected("0"), expected("3"), expected("6")}));
}

TEST_F(Engine, CompleteDownloadIsIdenticalAndLeavesNoPartFile)
{
    // Sizes where parts are empty, uneven, or large.
    for (size_t size : {size_t(1), size_t(2), size_t(3), size_t(1000003), size_t(1) << 20}) {
        SCOPED_TRACE(size);
        CTempFolder target;
        const std::string content = TestBytes(size, static_cast<unsigned>(size));
        server.PutFile("/full/file.dat", content);
        const AttemptResult result = Attempt(server.Url("/full/file.dat"), target);
        ASSERT_TRUE(result.ok);
        EXPECT_EQ(result.counter, size);
        EXPECT_TRUE(ReadFileBytes(target / L"file.dat") == content);
        EXPECT_EQ(target.Files(), Names({"file.dat"}));
    }
}

TEST_F(Engine, DropInMidBodyIsResumedFromThePartFile)
{
    const std::string content = TestBytes(300000, 7);
    server.PutFile("/drop/file.bin", content);
    server.AddRoute(R"({"path": "/drop/file.bin", "drop_after": 30000, "drop_when_range_from": 100000,
                        "drop_times": 1})");
    const CString url = server.Url("/drop/file.bin");

    const AttemptResult first = Attempt(url, folder);
    EXPECT_FALSE(first.ok);
    EXPECT_EQ(folder.Files(), Names({"file.bin_0", "file.bin_1", "file.bin_2"}));
    EXPECT_TRUE(ReadFileBytes(folder / L"file.bin_1") == content.substr(100000, 30000));

    server.Reset();
    const AttemptResult second = Attempt(url, folder);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.counter, 300000u);
    EXPECT_EQ(RangesOf(server.Requests("/drop/file.bin")), (std::vector<std::string>{"0", "130000"}));
    EXPECT_TRUE(ReadFileBytes(folder / L"file.bin") == content);
    EXPECT_EQ(folder.Files(), Names({"file.bin"}));
}

TEST_F(Engine, EachPartResumesFromTheSizeOfItsPartFile)
{
    // 9,000 bytes: ranges 0-3000, 3000-6000, 6000-9000.
    const std::string content = TestBytes(9000, 3);
    server.PutFile("/resume/f.bin", content);
    struct Case {
        size_t present[3]; // bytes already in each part file; npos: no part file
        std::vector<std::string> partRanges;
    };
    const size_t none = std::string::npos;
    const Case cases[] = {
        {{none, none, none}, {"0", "3000", "6000"}},
        {{3000, 3000, 1000}, {"7000"}},
        {{0, 2999, 3000}, {"0", "5999"}},
        {{3000, 3000, 3000}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.partRanges));
        CTempFolder target;
        uint32_t present = 0;
        for (int i = 0; i < 3; ++i) {
            if (c.present[i] == none)
                continue;
            CString name;
            name.Format(L"f.bin_%d", i);
            WriteFileBytes(target / name, content.substr(3000 * i, c.present[i]));
            present += static_cast<uint32_t>(c.present[i]);
        }
        server.Reset();
        const AttemptResult result = Attempt(server.Url("/resume/f.bin"), target);
        ASSERT_TRUE(result.ok);
        EXPECT_EQ(result.counter, 9000u);
        const std::vector<std::string> requests = server.Requests("/resume/f.bin");
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(Sorted(RangesOf({requests.begin() + 1, requests.end()})), Sorted(c.partRanges));
        EXPECT_TRUE(ReadFileBytes(target / L"f.bin") == content);
        EXPECT_EQ(target.Files(), Names({"f.bin"}));
    }
}

TEST_F(Engine, PartTakesOnlyAnAnswerToItsOwnRange)
{
    // 3,000 bytes; part 1 has 200 bytes and asks from 1200.
    const std::string content = TestBytes(3000, 11);
    server.PutFile("/wrong/w.bin", content);
    const CString url = server.Url("/wrong/w.bin");
    const char* const misbehaviours[] = {
        R"("status": 404)",
        R"("status": 500, "body": "oops")",
        R"("ignore_range": true)",
        R"("content_range_start": 1000)",
        R"("headers": {"Content-Range": "bytes 1200-2999/4000"})", // another file than the probe's
        R"("headers": {"Content-Range": null})",
        R"("garbage_header": 2000, "stall": 0)",
    };
    for (const char* misbehaviour : misbehaviours) {
        SCOPED_TRACE(misbehaviour);
        CTempFolder target;
        const std::string had = content.substr(1000, 200);
        WriteFileBytes(target / L"w.bin_1", had);
        server.Reset();
        server.AddRoute(std::string(R"({"path": "/wrong/w.bin", "when_range_from": 1200, )") + misbehaviour +
                        "}");

        EXPECT_FALSE(Attempt(url, target).ok);
        EXPECT_EQ(target.Files(), Names({"w.bin_0", "w.bin_1", "w.bin_2"}));
        EXPECT_TRUE(ReadFileBytes(target / L"w.bin_1") == had);

        server.Reset();
        ASSERT_TRUE(Attempt(url, target).ok);
        EXPECT_TRUE(ReadFileBytes(target / L"w.bin") == content);
    }
}

TEST_F(Engine, WholeFileFromTheStartIsTakenForTheFirstPart)
{
    const std::string content = TestBytes(3000, 12);
    server.PutFile("/whole/w.bin", content);
    server.AddRoute(R"({"path": "/whole/w.bin", "when_range_from": 0, "ignore_range": true})");
    ASSERT_TRUE(Attempt(server.Url("/whole/w.bin"), folder).ok);
    EXPECT_TRUE(ReadFileBytes(folder / L"w.bin") == content);
}

TEST_F(Engine, ServerThatIgnoresRangeNeverGivesAFile)
{
    const std::string content = TestBytes(3000, 13);
    server.PutFile("/norange/n.bin", content);
    server.AddRoute(R"({"path": "/norange/n.bin", "ignore_range": true})");
    const CString url = server.Url("/norange/n.bin");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_FALSE(Attempt(url, folder).ok);
        EXPECT_EQ(folder.Files(), Names({"n.bin_0"}));
        EXPECT_TRUE(ReadFileBytes(folder / L"n.bin_0") == content.substr(0, 1000));
    }
    // The second attempt asked only for the two parts still missing.
    const std::vector<std::string> ranges = RangesOf(server.Requests("/norange/n.bin"));
    ASSERT_EQ(ranges.size(), 7u);
    EXPECT_EQ(Sorted({ranges[5], ranges[6]}), (std::vector<std::string>{"1000", "2000"}));
}

TEST_F(Engine, ProbeWithoutAUsableLengthLeavesTheTargetAlone)
{
    server.PutFile("/probe/p.bin", TestBytes(3000, 14));
    const char* const routes[] = {
        nullptr, // the file is missing: 404
        R"("no_length": true)",
        R"("status": 500)",
        R"("status": 302, "headers": {"Location": "/elsewhere"})",
        R"("headers": {"Content-Length": "0"})",
        R"("headers": {"Content-Length": "-3000"})",
        R"("headers": {"Content-Length": "99999999999"})",
        R"("garbage_header": 2000, "stall": 0)",
        // A 206 counts only for the whole file, with a Content-Length to match.
        R"("status": 206, "headers": {"Content-Range": "bytes 0-999/3000", "Content-Length": "1000"})",
        R"("status": 206)",
        R"("headers": {"Content-Length": "2999"})",
        R"("headers": {"Content-Range": "bytes 0-2999/*"})",
    };
    for (const char* route : routes) {
        SCOPED_TRACE(route ? route : "missing file");
        CTempFolder target;
        WriteFileBytes(target / L"p.bin", "old content");
        server.Reset();
        const char* path = route ? "/probe/p.bin" : "/probe/missing/p.bin";
        if (route)
            server.AddRoute(std::string(R"({"path": "/probe/p.bin", )") + route + "}");
        EXPECT_FALSE(Attempt(server.Url(path), target).ok);
        EXPECT_EQ(ReadFileBytes(target / L"p.bin"), "old content");
        EXPECT_EQ(target.Files(), Names({"p.bin"}));
        EXPECT_EQ(server.Requests().size(), 1u);
    }
}

TEST_F(Engine, UnreachableServerOrUnsafeNameFailsWithoutWriting)
{
    CString closed;
    closed.Format(L"http://127.0.0.1:%d/x/closed.bin", UnusedPort());
    EXPECT_FALSE(Attempt(closed, folder).ok);
    EXPECT_FALSE(Attempt(L"http://127.0.0.1:0/x/zero.bin", folder).ok);

    server.PutFile("/evil.bin", "evil");
    EXPECT_FALSE(Attempt(server.Url("/x/..\\..\\evil.bin"), folder).ok);
    EXPECT_FALSE(Attempt(server.Url("/x/evil.bin:stream"), folder).ok);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(folder.Files().empty());
}

TEST_F(Engine, ClearingTheFlagStopsEveryPartAndKeepsWhatCame)
{
    const std::string content = TestBytes(300000, 15);
    server.PutFile("/flag/f.bin", content);
    server.AddRoute(R"({"path": "/flag/f.bin", "rate": 40000})");
    const CString url = server.Url("/flag/f.bin");

    std::atomic<uint32_t> counter{0};
    std::atomic<uint32_t> total{kUnknownLength};
    std::atomic<bool> active{true};
    std::atomic<bool> ok{true};
    AttemptState state{counter, total};
    CHandle attempt = StartThread([&] { ok = HttpDownLoad(url, folder.Path(), state, 3, active); });
    ASSERT_TRUE(server.WaitForRequests(4, "/flag/f.bin"));
    active = false;
    const DWORD cleared = GetTickCount();
    ASSERT_EQ(WaitForSingleObject(attempt, 10000), WAIT_OBJECT_0);
    EXPECT_LT(GetTickCount() - cleared, 1000u); // a 100,000-byte part takes 2.5 s at this rate
    EXPECT_FALSE(ok);
    EXPECT_FALSE(FileExists(folder / L"f.bin"));

    // Each part resumes where its part file ends.
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i) {
        CString name;
        name.Format(L"f.bin_%d", i);
        const size_t had = ReadFileBytes(folder / name).size();
        EXPECT_TRUE(ReadFileBytes(folder / name) == content.substr(100000 * i, had));
        if (had < 100000)
            expected.push_back(std::to_string(100000 * i + had));
    }
    server.Reset();
    const AttemptResult resumed = Attempt(url, folder);
    ASSERT_TRUE(resumed.ok);
    EXPECT_TRUE(ReadFileBytes(folder / L"f.bin") == content);
    const std::vector<std::string> ranges = RangesOf(server.Requests("/flag/f.bin"));
    ASSERT_FALSE(ranges.empty());
    EXPECT_EQ(Sorted({ranges.begin() + 1, ranges.end()}), Sorted(expected));
}

} // namespace
