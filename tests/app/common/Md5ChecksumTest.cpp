#include "app/common/Md5Checksum.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

std::string Pattern(size_t length)
{
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 31 + 7) & 0xFF);
    return bytes;
}

TEST(Md5Checksum, KnownDigestsOfFiles)
{
    CTempFolder folder;
    const struct {
        std::string bytes;
        const wchar_t* digest;
    } rows[] = {
        {"", L"d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", L"900150983cd24fb0d6963f7d28e17f72"},
        // Around the padding limit and the 64-byte block.
        {Pattern(55), L"c9e512626618c9980ef21a96597af94c"},
        {Pattern(56), L"ecde7caa08e9f5657c863df107cac60a"},
        {Pattern(63), L"2f0301069e1c40af7f6c8f843b1b13f2"},
        {Pattern(64), L"b6bf87c24b1bc334e2541387a92b981b"},
        {Pattern(65), L"f168246f08b6134d66bd2a10343fa9f1"},
        // Around the 1,024-byte read block.
        {Pattern(1023), L"aa217140da10ed9796690dd1ed22a21a"},
        {Pattern(1024), L"63b2177a7af739b5cc52ab1d1c714702"},
        {Pattern(1025), L"31d56d8e673d2856b7a4eee144ee8275"},
        {Pattern(3000), L"b32692527de03c91ea517449e84c80ed"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes.size());
        const CString path = folder / L"升级包.zip";
        WriteFileBytes(path, row.bytes);
        EXPECT_EQ(std::wstring(row.digest), Wide(ComputeFileMd5(path)));
    }
}

TEST(Md5Checksum, MissingFileGivesAnEmptyText)
{
    CTempFolder folder;
    EXPECT_TRUE(ComputeFileMd5(folder / L"absent.zip").IsEmpty());
    EXPECT_TRUE(ComputeFileMd5(folder.Path()).IsEmpty());
}

TEST(Md5Checksum, StreamIsDigestedFromItsPositionAndClosed)
{
    CTempFolder folder;
    const CString path = folder / L"part.bin";
    WriteFileBytes(path, Pattern(3000));
    std::FILE* stream = _wfopen(path, L"rb");
    ASSERT_NE(nullptr, stream);
    ASSERT_EQ(0, std::fseek(stream, 1000, SEEK_SET));
    EXPECT_EQ(L"3416ca8ce1bfd4ab0560e9ceac01abb3", Wide(ComputeStreamMd5(stream)));
    // Closed: the file can now be deleted.
    EXPECT_TRUE(DeleteFileW(path));
}

TEST(Md5Checksum, FedInPiecesLikeInOneGo)
{
    const std::string bytes = Pattern(3000);
    for (size_t piece : {1u, 7u, 64u, 100u, 1024u}) {
        SCOPED_TRACE(piece);
        CMD5Checksum checksum;
        for (size_t at = 0; at < bytes.size(); at += piece) {
            const size_t n = std::min(piece, bytes.size() - at);
            checksum.Md5Update(reinterpret_cast<const unsigned char*>(bytes.data()) + at, n);
        }
        EXPECT_EQ(L"b32692527de03c91ea517449e84c80ed", Wide(checksum.Md5Final()));
    }
}

} // namespace
