#include "app/common/FileUtils.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

void MakeTree(const CString& root)
{
    ASSERT_TRUE(CreateDirectoryW(root, nullptr));
    ASSERT_TRUE(CreateDirectoryW(root + L"\\子目录", nullptr));
    WriteFileBytes(root + L"\\a.txt", "a");
    WriteFileBytes(root + L"\\子目录\\b.txt", "b");
    SetFileAttributesW(root + L"\\子目录\\b.txt", FILE_ATTRIBUTE_READONLY);
}

TEST(DeletePath, DeletesFilesAndTreesSilently)
{
    CTempFolder folder;
    const CString file = folder / L"主题.zip";
    WriteFileBytes(file, "zip");
    EXPECT_TRUE(DeletePath(file));
    EXPECT_FALSE(FileExists(file));

    const CString tree = folder / L"theme";
    MakeTree(tree);
    EXPECT_TRUE(DeletePath(tree + L"\\"));
    EXPECT_FALSE(FileExists(tree));
    EXPECT_TRUE(FileExists(folder.Path()));
}

TEST(DeletePath, FailsForNothing)
{
    CTempFolder folder;
    EXPECT_FALSE(DeletePath(folder / L"absent"));
    EXPECT_FALSE(DeletePath(L""));
    EXPECT_FALSE(DeletePath(L"\\"));
}

TEST(MoveFolder, MovesTreesAndFiles)
{
    CTempFolder folder;
    const CString tree = folder / L"old";
    MakeTree(tree);
    ASSERT_TRUE(CreateDirectoryW(folder / L"new", nullptr));
    // Target first, then source.
    EXPECT_TRUE(MoveFolder(folder / L"new\\Ravonyx", tree));
    EXPECT_FALSE(FileExists(tree));
    EXPECT_EQ("b", ReadFileBytes(folder / L"new\\Ravonyx\\子目录\\b.txt"));

    WriteFileBytes(folder / L"one.txt", "1");
    EXPECT_TRUE(MoveFolder(folder / L"new\\two.txt", folder / L"one.txt"));
    EXPECT_EQ("1", ReadFileBytes(folder / L"new\\two.txt"));
    EXPECT_FALSE(FileExists(folder / L"one.txt"));

    EXPECT_FALSE(MoveFolder(folder / L"new\\three.txt", folder / L"absent.txt"));
}

TEST(DirectoryExists, OnlyFoldersWithoutTrailingBackslash)
{
    CTempFolder folder;
    WriteFileBytes(folder / L"file", "x");
    ASSERT_TRUE(CreateDirectoryW(folder / L"下载", nullptr));
    EXPECT_TRUE(DirectoryExists(folder / L"下载"));
    EXPECT_FALSE(DirectoryExists(folder / L"下载\\"));
    EXPECT_FALSE(DirectoryExists(folder / L"file"));
    EXPECT_FALSE(DirectoryExists(folder / L"absent"));
    EXPECT_FALSE(DirectoryExists(L""));
}

TEST(ParentDirectory, UpToTheLastBackslash)
{
    const struct {
        const wchar_t* path;
        const wchar_t* parent;
    } rows[] = {
        {L"C:\\Ravonyx\\download\\12.zip", L"C:\\Ravonyx\\download\\"},
        {L"C:\\Ravonyx\\download\\", L"C:\\Ravonyx\\download\\"},
        {L"12.zip", L""},
        {L"\\12.zip", L""},
        {L"", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(CString(row.path).ToUtf8());
        EXPECT_EQ(std::wstring(row.parent), Wide(ParentDirectory(row.path)));
    }
}

} // namespace
