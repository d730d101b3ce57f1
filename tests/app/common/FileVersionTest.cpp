#include "app/common/FileVersion.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

CString ProgramFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const CString program = path;
    return program.Left(program.ReverseFind(L'\\') + 1);
}

CString ProgramPath()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

TEST(GetFileProductVersion, ReadsTheFirstLanguagesProductVersion)
{
    // This program's own resource: Chinese (0804) in code page 936 (03a8).
    CString version = L"stale";
    EXPECT_TRUE(GetFileProductVersion(ProgramPath(), version));
    EXPECT_EQ(L"3.2.1.0 测试版", Wide(version));
}

TEST(GetFileProductVersion, ResourceWithoutProductVersionLeavesTheTextAlone)
{
    CString version = L"unchanged";
    EXPECT_TRUE(GetFileProductVersion(ProgramFolder() + L"app_version_fixture.dll", version));
    EXPECT_EQ(L"unchanged", Wide(version));
}

TEST(GetFileProductVersion, FilesWithoutAResourceFail)
{
    CTempFolder folder;
    WriteFileBytes(folder / L"plain.txt", "no resources here");
    const CString paths[] = {folder / L"plain.txt", folder / L"absent.exe"};
    for (const CString& path : paths) {
        CString version = L"unchanged";
        EXPECT_FALSE(GetFileProductVersion(path, version));
        EXPECT_EQ(L"unchanged", Wide(version));
    }
}

} // namespace
