#include "app/common/HttpText.h"

#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class HttpGetText : public ::testing::Test {
protected:
    void SetUp() override { CTestServer::Instance().Reset(); }

    static void AddRoute(const std::string& json) { CTestServer::Instance().AddRoute(json); }
    static CString Url(const char* path) { return CTestServer::Instance().Url(path); }

    static std::string Digits(size_t length)
    {
        std::string text;
        for (size_t i = 0; i < length; ++i)
            text += static_cast<char>('0' + i % 10);
        return text;
    }
};

TEST_F(HttpGetText, ReplyInSeveralPiecesComesWhole)
{
    // Windows hands out what has arrived so far; Wine's WinINet waits to fill
    // the request, so here this guards the reading loop rather than proving it.
    const std::string body = "success | main_version=2.0.0.1 | dll_version=1.0.0.3 | " + Digits(300);
    AddRoute(R"({"path": "/version/RODiruder.html", "body": ")" + body +
             R"(", "chunks": 6, "chunk_delay": 0.05})");
    CString text;
    ASSERT_TRUE(::HttpGetText(Url("/version/RODiruder.html"), text, 4096));
    EXPECT_EQ(CString::FromUtf8(body.c_str()), text);
}

// A reply that is not whole is a failed request: one longer than the
// buffer, sent in pieces or at once, against buffers that hold all of it,
// exactly all but the last byte of it, or less.
TEST_F(HttpGetText, OnlyAWholeReplyComesBack)
{
    AddRoute(R"({"path": "/long", "body": ")" + Digits(5000) + R"(", "chunks": 3})");
    AddRoute(R"({"path": "/pieces", "body": ")" + Digits(5000) + R"(", "chunks": 5, "chunk_delay": 0.05})");
    const struct {
        DWORD size;
        bool whole;
    } rows[] = {{2000, false}, {4096, false}, {5000, false}, {5001, true},
                {8000, true},  {1, false},    {0, false}};
    for (const char* path : {"/long", "/pieces"}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(path) + " " + std::to_string(row.size));
            CString text = L"stale";
            EXPECT_EQ(row.whole, ::HttpGetText(Url(path), text, row.size));
            EXPECT_EQ(row.whole ? Wide(CString::FromUtf8(Digits(5000).c_str())) : L"stale", Wide(text));
        }
    }
    // An empty reply fits any buffer.
    AddRoute(R"({"path": "/empty", "body": ""})");
    CString text = L"stale";
    ASSERT_TRUE(::HttpGetText(Url("/empty"), text, 2000));
    EXPECT_EQ(L"", Wide(text));
}

// A NUL byte would end the text early, and a connection that ends before
// the announced length leaves only the start of the reply: neither is
// taken for the reply.
TEST_F(HttpGetText, ACutOrNulReplyFails)
{
    // "success | http://start.example/" NUL "evil"
    AddRoute(R"({"path": "/nul", "body_b64": "c3VjY2VzcyB8IGh0dHA6Ly9zdGFydC5leGFtcGxlLwBldmls"})");
    AddRoute(R"({"path": "/dropped", "body": ")" + Digits(3000) + R"(", "drop_after": 1000})");
    for (const char* path : {"/nul", "/dropped"}) {
        SCOPED_TRACE(path);
        CString text = L"stale";
        EXPECT_FALSE(::HttpGetText(Url(path), text, 4096));
        EXPECT_EQ(L"stale", Wide(text));
    }
}

TEST_F(HttpGetText, DecodesUtf8WithCharactersBeyondTheBasicPlane)
{
    AddRoute(
        R"({"path": "/api.php?op=gethome_box&act=gethome", "body": "success | 主页 \ud83d\ude00 | end"})");
    CString text;
    ASSERT_TRUE(::HttpGetText(Url("/api.php?op=gethome_box&act=gethome"), text, 2000));
    EXPECT_EQ(L"success | 主页 \U0001F600 | end", Wide(text));
}

TEST_F(HttpGetText, ErrorPagesAreTextLikeAnyOther)
{
    AddRoute(R"({"path": "/busy", "status": 503, "body": "down for maintenance"})");
    CString text;
    ASSERT_TRUE(::HttpGetText(Url("/busy"), text, 2000));
    EXPECT_EQ(L"down for maintenance", Wide(text));
}

TEST_F(HttpGetText, RefusedConnectionFails)
{
    // Nothing listens on port 1 of the loopback address.
    CString text = L"unchanged";
    EXPECT_FALSE(::HttpGetText(L"http://127.0.0.1:1/none", text, 2000));
    EXPECT_EQ(L"unchanged", Wide(text));
}

} // namespace
