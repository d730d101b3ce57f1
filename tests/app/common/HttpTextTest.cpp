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

TEST_F(HttpGetText, LongReplyIsCutToTheBuffer)
{
    AddRoute(R"({"path": "/long", "body": ")" + Digits(5000) + R"(", "chunks": 3})");
    const struct {
        DWORD size;
        size_t kept;
    } rows[] = {{2000, 1999}, {4096, 4095}, {5001, 5000}, {8000, 5000}, {1, 0}, {0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.size);
        CString text = L"stale";
        ASSERT_TRUE(::HttpGetText(Url("/long"), text, row.size));
        EXPECT_EQ(CString::FromUtf8(Digits(row.kept).c_str()), text);
    }
}

// A reply sent in pieces with pauses between them, against buffers that
// hold all of it, exactly all of it, or less.
TEST_F(HttpGetText, TellsWhetherTheWholeReplyFitted)
{
    AddRoute(R"({"path": "/pieces", "body": ")" + Digits(5000) + R"(", "chunks": 5, "chunk_delay": 0.05})");
    const struct {
        DWORD size;
        bool whole;
        size_t kept;
    } rows[] = {
        {2000, false, 1999}, {5000, false, 4999}, {5001, true, 5000}, {8000, true, 5000}, {1, false, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.size);
        CString text = L"stale";
        bool whole = !row.whole;
        ASSERT_TRUE(::HttpGetText(Url("/pieces"), text, row.size, whole));
        EXPECT_EQ(row.whole, whole);
        EXPECT_EQ(CString::FromUtf8(Digits(row.kept).c_str()), text);
    }
    // An empty reply fits any buffer.
    AddRoute(R"({"path": "/empty", "body": ""})");
    CString text = L"stale";
    bool whole = false;
    ASSERT_TRUE(::HttpGetText(Url("/empty"), text, 2000, whole));
    EXPECT_TRUE(whole);
    EXPECT_EQ(L"", Wide(text));
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
