#include <gtest/gtest.h>

#include "skin/SkResource.h"
#include "tests/support/TempFolder.h"

namespace {

// Sets the skin folder for one test and clears it afterwards.
class ScopedSkinFolder {
public:
    explicit ScopedSkinFolder(const CString& folder) { SkResourceFolder::Instance().SetSkinFolder(folder); }
    ~ScopedSkinFolder() { SkResourceFolder::Instance().SetSkinFolder(CString()); }
};

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

TEST(LoadResourceData, ReturnsTheEmbeddedBytesExactlyWithTheirByteOrderMark)
{
    std::string bytes;
    ASSERT_TRUE(LoadResourceData(102, L"xml", bytes));
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(102), L"xml");
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(bytes.size(), SizeofResource(nullptr, resource));
    EXPECT_TRUE(StartsWith(bytes, "\xEF\xBB\xBF<?xml")) << bytes.substr(0, 10);
    EXPECT_EQ(bytes.substr(bytes.size() - 10), "</string>\n");
    EXPECT_EQ(bytes.c_str()[bytes.size()], '\0');

    // A resource stored without a mark comes back without one.
    ASSERT_TRUE(LoadResourceData(9103, L"xml", bytes));
    EXPECT_TRUE(StartsWith(bytes, "<strings>"));
}

TEST(LoadResourceData, MissingResourceGivesFalseAndNoBytes)
{
    std::string bytes = "left over";
    EXPECT_FALSE(LoadResourceData(4242, L"xml", bytes));
    EXPECT_TRUE(bytes.empty());
    // The right id under another type is not found either.
    EXPECT_FALSE(LoadResourceData(102, L"png", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(LoadResourceData, SkinFolderFileComesFirstUnlessEmptyOrMissing)
{
    CTempFolder folder;
    WriteFileBytes(folder / L"102.xml", std::string("<string/>\0tail", 14));
    WriteFileBytes(folder / L"101.xml", "");
    WriteFileBytes(folder / L"7.png", "png bytes");
    ScopedSkinFolder scoped(folder.FolderPath());

    std::string bytes;
    ASSERT_TRUE(LoadResourceData(102, L"xml", bytes));
    EXPECT_EQ(bytes, std::string("<string/>\0tail", 14)); // the whole file, NUL included

    // A zero-length file is ignored: the embedded resource is used.
    ASSERT_TRUE(LoadResourceData(101, L"xml", bytes));
    EXPECT_TRUE(StartsWith(bytes, "<?xml")) << bytes;

    // The type names the file extension; an id only the folder has is found.
    ASSERT_TRUE(LoadResourceData(7, L"png", bytes));
    EXPECT_EQ(bytes, "png bytes");

    // Neither in the folder nor embedded.
    EXPECT_FALSE(LoadResourceData(8, L"png", bytes));
}

TEST(LoadResourceData, UnreadableFolderFallsBackToTheEmbeddedResource)
{
    ScopedSkinFolder scoped(L"Z:\\no\\such\\folder");
    std::string bytes;
    ASSERT_TRUE(LoadResourceData(102, L"xml", bytes));
    EXPECT_TRUE(StartsWith(bytes, "\xEF\xBB\xBF"));
}

// The resources are stored under Chinese (Simplified) only; a lookup that
// names no language must still find them, whatever the thread's language.
TEST(LoadResourceData, FindsResourcesOfLanguage2052WithoutNamingALanguage)
{
    const WORD chinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    ASSERT_EQ(chinese, 2052);
    EXPECT_NE(FindResourceExW(nullptr, L"xml", MAKEINTRESOURCEW(102), chinese), nullptr);
    EXPECT_EQ(
        FindResourceExW(nullptr, L"xml", MAKEINTRESOURCEW(102), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
        nullptr);

    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(102), L"xml"), nullptr);
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(102), L"XML"), nullptr); // type names ignore case
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(5), RT_BITMAP), nullptr);

    LCID oldLocale = GetThreadLocale();
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(102), L"xml"), nullptr);
    std::string bytes;
    EXPECT_TRUE(LoadResourceData(44, L"png", bytes));
    SetThreadLocale(oldLocale);
}
