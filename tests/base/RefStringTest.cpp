#include "base/RefString.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(RefString, CopiesShareUntilOneIsWritten)
{
    CString a(L"abc");
    CString b(a);
    EXPECT_EQ(a.GetString(), b.GetString());
    EXPECT_EQ(2, a.RefCount());
    b += L"d";
    EXPECT_NE(a.GetString(), b.GetString());
    EXPECT_EQ(L"abc", a);
    EXPECT_EQ(L"abcd", b);
    EXPECT_EQ(1, a.RefCount());

    CString c(a);
    c.SetAt(0, L'x');
    c.MakeUpper();
    EXPECT_EQ(L"abc", a);
    EXPECT_EQ(L"XBC", c);
}

TEST(RefString, EmptyStringsAreNeverFreedOrWritten)
{
    CString empty;
    CString copy(empty);
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_EQ(-1, empty.RefCount());
    copy += L"";
    copy.MakeLower();
    copy.Trim();
    EXPECT_EQ(0, copy.Replace(L"a", L"b"));
    wchar_t* buffer = copy.GetBuffer(0);
    buffer[0] = L'\0';
    copy.ReleaseBuffer();
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_STREQ(L"", CString().GetString());
}

TEST(RefString, SearchesAndPieces)
{
    const CString s(L"http://host/dir/file.tar.zip");
    EXPECT_EQ(4, s.Find(L':'));
    EXPECT_EQ(7, s.Find(L"host"));
    EXPECT_EQ(-1, s.Find(L"nothere"));
    EXPECT_EQ(-1, s.Find(L'h', 100));
    EXPECT_EQ(15, s.ReverseFind(L'/'));
    EXPECT_EQ(-1, s.ReverseFind(L'#'));
    EXPECT_EQ(L"file.tar.zip", s.Mid(s.ReverseFind(L'/') + 1));
    EXPECT_EQ(L"http", s.Left(4));
    EXPECT_EQ(L"zip", s.Right(3));
    EXPECT_EQ(L"", s.Mid(200));
    EXPECT_EQ(s, s.Left(1000));
    EXPECT_EQ(L"", s.Right(-2));
}

TEST(RefString, EditingOperations)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* from;
        const wchar_t* to;
        int count;
        const wchar_t* result;
    } cases[] = {
        {L"a | b | c", L" | ", L",", 2, L"a,b,c"},
        {L"aaa", L"a", L"aa", 3, L"aaaaaa"},
        {L"abc", L"x", L"y", 0, L"abc"},
        {L"abcabc", L"abc", L"", 2, L""},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        EXPECT_EQ(c.count, s.Replace(c.from, c.to)) << c.text;
        EXPECT_EQ(c.result, s) << c.text;
    }

    CString s(L"  a\\b\\c \t");
    s.Trim();
    EXPECT_EQ(L"a\\b\\c", s);
    EXPECT_EQ(2, s.Remove(L'\\'));
    EXPECT_EQ(L"abc", s);
    s.Insert(1, L"XY");
    EXPECT_EQ(L"aXYbc", s);
    s.Delete(1, 2);
    EXPECT_EQ(L"abc", s);
    CString t(L"\\\\dir\\\\");
    t.TrimRight(L'\\');
    EXPECT_EQ(L"\\\\dir", t);
    CString mixed(L"ABC中文");
    mixed.MakeLower();
    EXPECT_EQ(L"abc中文", mixed);
    EXPECT_EQ(0, CString(L"Abc").CompareNoCase(L"aBC"));
    EXPECT_LT(CString(L"a"), CString(L"b"));
}

TEST(RefString, FormatTakesWideStringsForPercentS)
{
    CString s;
    s.Format(L"%s_%d", L"C:\\down\\a.zip", 2);
    EXPECT_EQ(L"C:\\down\\a.zip_2", s);
    s.Format(L"\\StringFileInfo\\%04x%04x\\%s", 0x804, 0x4b0, L"ProductVersion");
    EXPECT_EQ(L"\\StringFileInfo\\080404b0\\ProductVersion", s);
    s.AppendFormat(L"|%s", L"中文");
    EXPECT_EQ(L"\\StringFileInfo\\080404b0\\ProductVersion|中文", s);
    CString longText(L'x', 5000);
    s.Format(L"[%s]", longText.GetString());
    EXPECT_EQ(5002, s.GetLength());
    s.Format(L"");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(RefString, ChineseSurvivesTheAnsiCodePageAndUtf8)
{
    // The tests run with the users' code page 936.
    ASSERT_EQ(936u, GetACP());
    const CString text(L"主题下载 theme");
    const std::string ansi = text.ToAnsi();
    EXPECT_EQ(std::string("\xD6\xF7\xCC\xE2\xCF\xC2\xD4\xD8 theme"), ansi);
    EXPECT_EQ(text, CString::FromAnsi(ansi.c_str()));
    const std::string utf8 = text.ToUtf8();
    EXPECT_EQ(std::string("\xE4\xB8\xBB\xE9\xA2\x98\xE4\xB8\x8B\xE8\xBD\xBD theme"), utf8);
    EXPECT_EQ(text, CString::FromUtf8(utf8.c_str()));
    EXPECT_EQ(L"主题", CString::FromUtf8(utf8.c_str(), 6));
}

TEST(RefString, BuffersFilledByWin32Calls)
{
    CString s;
    wchar_t* buffer = s.GetBuffer(MAX_PATH);
    const DWORD n = GetEnvironmentVariableW(L"NO_SUCH_VARIABLE_HERE", buffer, MAX_PATH);
    s.ReleaseBuffer(static_cast<int>(n));
    EXPECT_TRUE(s.IsEmpty());

    buffer = s.GetBuffer(16);
    wcscpy(buffer, L"filled");
    s.ReleaseBuffer();
    EXPECT_EQ(6, s.GetLength());
    EXPECT_EQ(L"filled", s);

    CString shared(s);
    s.GetBufferSetLength(3);
    s.ReleaseBuffer();
    EXPECT_EQ(L"fil", s);
    EXPECT_EQ(L"filled", shared);
}

TEST(RefString, CopiesReleasedOnManyThreadsFreeOnce)
{
    const CString source(L"shared between threads");
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([source] {
            for (int i = 0; i < 10000; ++i) {
                CString copy(source);
                CString again = copy;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(1, source.RefCount());
    EXPECT_EQ(L"shared between threads", source);
}
