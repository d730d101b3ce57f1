// Merging part files into the target: all or nothing.

#include "base/Handle.h"
#include "download/PartFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

// 2,500 bytes in the ranges 0-1000, 1000-2000, 2000-2500 plus an empty range.
std::vector<PartRange> MakeParts(const CTempFolder& folder, const std::string& content)
{
    std::vector<PartRange> parts = {{0, 1000, folder / L"t.bin_0"},
                                    {1000, 2000, folder / L"t.bin_1"},
                                    {2000, 2500, folder / L"t.bin_2"},
                                    {2500, 2500, folder / L"t.bin_3"}};
    for (size_t i = 0; i < 3; ++i)
        WriteFileBytes(parts[i].partFile, content.substr(parts[i].start, parts[i].Length()));
    return parts;
}

TEST(Merge, WritesTheTargetAndDeletesThePartFiles)
{
    CTempFolder folder;
    const std::string content = TestBytes(2500, 1);
    std::vector<PartRange> parts = MakeParts(folder, content);
    // Bytes past a range are cut, and an older file of the target's name goes.
    WriteFileBytes(parts[0].partFile, content.substr(0, 1000) + "overshoot");
    WriteFileBytes(parts[2].partFile, content.substr(2000) + "overshoot");
    WriteFileBytes(folder / L"t.bin", TestBytes(5000, 9));
    ASSERT_TRUE(MergeParts(folder / L"t.bin", parts));
    EXPECT_TRUE(ReadFileBytes(folder / L"t.bin") == content);
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"t.bin"});
}

TEST(Merge, UnreadableOrShortPartFileLeavesNoTargetAndKeepsEveryPartFile)
{
    enum Fault { kMissing, kShort, kLocked, kTargetIsFolder };
    for (Fault fault : {kMissing, kShort, kLocked, kTargetIsFolder}) {
        SCOPED_TRACE(fault);
        CTempFolder folder;
        const std::string content = TestBytes(2500, 2);
        const std::vector<PartRange> parts = MakeParts(folder, content);
        CFileHandle lock;
        if (fault == kMissing)
            DeleteFileW(parts[1].partFile);
        if (fault == kShort)
            WriteFileBytes(parts[2].partFile, content.substr(2000, 499));
        if (fault == kLocked)
            lock.Reset(CreateFileW(parts[1].partFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (fault == kTargetIsFolder)
            CreateDirectoryW(folder / L"t.bin", nullptr);
        std::vector<std::string> before = folder.Files();

        EXPECT_FALSE(MergeParts(folder / L"t.bin", parts));
        lock.Reset();
        EXPECT_EQ(folder.Files(), before);
        if (fault == kTargetIsFolder)
            RemoveDirectoryW(folder / L"t.bin");
        else
            EXPECT_FALSE(FileExists(folder / L"t.bin"));
        EXPECT_TRUE(ReadFileBytes(parts[0].partFile) == content.substr(0, 1000));
    }
}

} // namespace
