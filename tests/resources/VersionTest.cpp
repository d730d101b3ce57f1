// The version resource as the program reads its own version: the build's
// version (or, in the second program of this test, the version its resource
// set was made with), and a Translation entry.
#include <gtest/gtest.h>

#include "RavonyxVersion.h"
#include "app/common/FileVersion.h"

#include <vector>

TEST(ProgramResources, VersionIsTheBuildsWithATranslation)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString version;
    ASSERT_TRUE(GetFileProductVersion(path, version));
    EXPECT_EQ(version, CString(L"" RAVONYX_VERSION_TEXT));
#ifdef EXPECTED_VERSION
    EXPECT_EQ(version, CString(EXPECTED_VERSION));
#endif

    DWORD handle = 0;
    std::vector<char> block(GetFileVersionInfoSizeW(path, &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0804);
    EXPECT_EQ(translation[1], 1200);
}
