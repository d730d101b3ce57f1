// URL splitting, file titles, reply headers and progress figures.

#include "download/HttpHeader.h"
#include "download/Progress.h"
#include "download/UrlParts.h"

#include <gtest/gtest.h>

TEST(SplitUrl, HostPortFolderAndFile)
{
    struct Case {
        const wchar_t* url;
        const wchar_t* host;
        const wchar_t* hostHeader;
        int port;
        const wchar_t* dir;
        const wchar_t* file;
    };
    const Case cases[] = {
        {L"http://down.example.com/a/b/file.zip", L"down.example.com", L"down.example.com", 80,
         L"http://down.example.com/a/b/", L"file.zip"},
        {L" \thttp://127.0.0.1:8123/x.zip \r\n", L"127.0.0.1", L"127.0.0.1:8123", 8123,
         L"http://127.0.0.1:8123/", L"x.zip"},
        {L"http://h:65535/d/", L"h", L"h:65535", 65535, L"http://h:65535/d/", L""},
        {L"http://h:65536/x", L"h", L"h:65536", 0, L"http://h:65536/", L"x"},
        {L"http://h:/x", L"h", L"h:", 0, L"http://h:/", L"x"},
        {L"http://h:8o/x", L"h", L"h:8o", 0, L"http://h:8o/", L"x"},
        {L"http://hostonly", L"", L"", 80, L"http://", L"hostonly"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.url).ToUtf8());
        const UrlParts parts = SplitUrl(c.url);
        EXPECT_EQ(parts.host, c.host);
        EXPECT_EQ(parts.hostHeader, c.hostHeader);
        EXPECT_EQ(parts.port, c.port);
        EXPECT_EQ(parts.dir, c.dir);
        EXPECT_EQ(parts.file, c.file);
    }
}

TEST(FileTitle, NameWithoutLastExtension)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"http://h/update/12345.zip", L"12345"}, {L"http://h/a/b.c.zip", L"b.c"}, {L"http://h/noext", L""},
        {L"http://h.v2/dir.v2/file", L""},        {L"plain.zip", L"plain"},        {L"http://h/.zip", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileTitleOf(c.first), c.second) << CString(c.first).ToUtf8();
}

TEST(FileName, OnlyPlainNamesStayInTheFolder)
{
    for (const wchar_t* good : {L"a.zip", L"12345.zip", L"a..b", L"noext"})
        EXPECT_TRUE(IsPlainFileName(good)) << CString(good).ToUtf8();
    for (const wchar_t* bad : {L"", L".", L"..", L"..\\..\\evil.exe", L"x.zip:stream", L"C:x"})
        EXPECT_FALSE(IsPlainFileName(bad)) << CString(bad).ToUtf8();
}

TEST(Progress, PercentHoldsUpToTwoGigabytes)
{
    struct Case {
        uint32_t bytes;
        uint32_t total;
        int percent;
    };
    const Case cases[] = {
        {0, kUnknownLength, 0},
        {512, kUnknownLength, 49},
        {10, 1000, 0},
        {11, 1000, 1},
        {999, 1000, 99},
        {1000, 1000, 99},
        {1500000000u, 2000000000u, 74},
        {2147483646u, 2147483647u, 99},
        {50000000u, 100000000u, 49},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputePercent(c.bytes, c.total), c.percent) << c.bytes << " of " << c.total;
}

TEST(Progress, SpeedCountsWholeKilobytesPerTick)
{
    EXPECT_FLOAT_EQ(ComputeSpeedKBps(10240, 0), 100.0f);
    EXPECT_FLOAT_EQ(ComputeSpeedKBps(1023, 0), 0.0f);
    EXPECT_FLOAT_EQ(ComputeSpeedKBps(5000, 2000), 20.0f);
    EXPECT_FLOAT_EQ(ComputeSpeedKBps(1024, 0xFFFFFC00u), 20.0f); // the counter wrapped
}

TEST(ReplyHeader, StatusLengthAndRange)
{
    const std::string h =
        "HTTP/1.1 206 Partial Content\r\nX-Content-Length: 7\r\ncontent-range: bytes 300-999/1000\r\n"
        "Content-Length:   700\r\n\r\n";
    EXPECT_EQ(ParseStatus(h), 206);
    EXPECT_EQ(ParseContentLength(h), 700); // a field name only at the start of a line
    const ContentRange range = ParseContentRange(h);
    EXPECT_EQ(range.first, 300);
    EXPECT_EQ(range.last, 999);
    EXPECT_EQ(range.total, 1000);

    EXPECT_EQ(ParseStatus("HTTP/1.1 20"), -1);
    EXPECT_EQ(ParseStatus("HTTP/1.0 404 Not Found\r\n\r\n"), 404);
    EXPECT_EQ(ParseContentLength("HTTP/1.1 200 OK\r\ncontent-length: 5\r\n\r\n"), 0);
    EXPECT_EQ(ParseContentLength("HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\n"), 0);
    EXPECT_EQ(ParseContentLength("HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\n"), -5);
    // Unreadable ranges give -1 throughout; an unknown total only there.
    struct Case {
        const char* field;
        long long first, last, total;
    };
    const Case cases[] = {
        {"Content-Range: bytes 0-65535/300000", 0, 65535, 300000},
        {"Content-Range: bytes 5-9/*", 5, 9, -1},
        {"Content-Range: bytes */1000", -1, -1, -1},
        {"Content-Range: bytes=5-9/10", -1, -1, -1},
        {"Content-Range: bytes 9-5/10", -1, -1, -1},
        {"Content-Range: bytes 5-10/10", -1, -1, -1},
        {"Content-Range: bytes 5-9/99999999999", -1, -1, -1},
        {"X-Other: 1", -1, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const ContentRange parsed =
            ParseContentRange(std::string("HTTP/1.1 206 x\r\n") + c.field + "\r\n\r\n");
        EXPECT_EQ(parsed.first, c.first);
        EXPECT_EQ(parsed.last, c.last);
        EXPECT_EQ(parsed.total, c.total);
    }
}
