// Reading the version file: which replies are version files, and which
// fields count.
#include <gtest/gtest.h>

#include "app/update/VersionFile.h"

TEST(VersionFile, TakesTheFieldsAtTheirPositionsByExactName)
{
    VersionFile v;
    ASSERT_TRUE(ParseVersionFile(
        L"success | main_version=2.0.0.1 | dll_version=1.0.0.2 | "
        L"main_md5=0123456789abcdef0123456789abcdef | dll_md5=fedcba9876543210fedcba9876543210",
        v));
    EXPECT_TRUE(v.hasMainVersion && v.hasDllVersion && v.hasMainMd5 && v.hasDllMd5);
    EXPECT_EQ(v.mainVersion, CString(L"2.0.0.1"));
    EXPECT_EQ(v.dllVersion, CString(L"1.0.0.2"));
    EXPECT_EQ(v.mainMd5, CString(L"0123456789abcdef0123456789abcdef"));
    EXPECT_EQ(v.dllMd5, CString(L"fedcba9876543210fedcba9876543210"));

    // Any text holding "success" opens it; names elsewhere or in another
    // case are ignored, the rest still counts; a sixth field changes nothing.
    ASSERT_TRUE(
        ParseVersionFile(L"<b>success</b> | dll_version=1 | Dll_Version=2 | main_md5=m | dll_md5=d | x", v));
    EXPECT_FALSE(v.hasMainVersion);
    EXPECT_FALSE(v.hasDllVersion);
    EXPECT_TRUE(v.hasMainMd5);
    EXPECT_EQ(v.mainMd5, CString(L"m"));
    EXPECT_EQ(v.dllMd5, CString(L"d"));

    // A value keeps what follows the first "=".
    ASSERT_TRUE(ParseVersionFile(L"success | main_version=a=b | dll_version= | main_md5=m | dll_md5=d", v));
    EXPECT_EQ(v.mainVersion, CString(L"a=b"));
    EXPECT_TRUE(v.hasDllVersion);
    EXPECT_TRUE(v.dllVersion.IsEmpty());
}

TEST(VersionFile, LineBreaksAroundFieldsAreNoPartOfThem)
{
    const wchar_t* const replies[] = {
        L"success | main_version=2.0.0.1 | dll_version=1.0.0.2 | main_md5=m | dll_md5=d\r\n",
        L"success | main_version=2.0.0.1 | dll_version=1.0.0.2 | main_md5=m | dll_md5=d\n",
        L"success\r\n | \r\nmain_version=2.0.0.1\r\n | dll_version=1.0.0.2\n | main_md5=m\r | "
        L"dll_md5=d\r\n\r\n",
    };
    for (const wchar_t* reply : replies) {
        SCOPED_TRACE(CString(reply).ToUtf8());
        VersionFile v;
        ASSERT_TRUE(ParseVersionFile(reply, v));
        EXPECT_TRUE(v.hasMainVersion && v.hasDllVersion && v.hasMainMd5 && v.hasDllMd5);
        EXPECT_EQ(v.mainVersion, CString(L"2.0.0.1"));
        EXPECT_EQ(v.dllVersion, CString(L"1.0.0.2"));
        EXPECT_EQ(v.mainMd5, CString(L"m"));
        EXPECT_EQ(v.dllMd5, CString(L"d"));
    }
}

TEST(VersionFile, RefusesRepliesThatAreNoVersionFile)
{
    const wchar_t* const replies[] = {
        L"",
        L"fail",
        L"fail | main_version=2 | dll_version=1 | main_md5=m | dll_md5=d",
        L"success",
        L"success | main_version=2 | dll_version=1 | main_md5=m",
        // the separator is blank, bar, blank
        L"success|main_version=2|dll_version=1|main_md5=m|dll_md5=d",
        L"success | main_version | dll_version=1 | main_md5=m | dll_md5=d",
        L"success | main_version=2 | dll_version=1 | main_md5=m | dll_md5",
    };
    for (const wchar_t* reply : replies) {
        VersionFile v;
        v.hasMainVersion = true;
        EXPECT_FALSE(ParseVersionFile(reply, v)) << CString(reply).ToUtf8();
        EXPECT_FALSE(v.hasMainVersion) << CString(reply).ToUtf8();
    }
}
