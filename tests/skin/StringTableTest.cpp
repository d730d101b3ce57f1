#include <gtest/gtest.h>

#include "skin/SkResource.h"
#include "skin/SkString.h"

namespace {

SkString TableFromResource(UINT id)
{
    std::string bytes;
    EXPECT_TRUE(LoadResourceData(id, L"xml", bytes));
    SkString table;
    EXPECT_TRUE(table.LoadXml(bytes));
    return table;
}

} // namespace

TEST(StringTable, LoadsTheProgramTableFromResource102)
{
    ASSERT_TRUE(LoadStringTable());
    EXPECT_STREQ(SkString::Get(0), L"宋体");
    EXPECT_STREQ(SkString::Get(1), L"拉沃工坊");
    EXPECT_STREQ(SkString::Get(12), L"主题载入中……");
    EXPECT_STREQ(SkString::Get(14), L"%d 分 %d 秒");
    EXPECT_STREQ(SkString::Get(25), L"继续");
    EXPECT_STREQ(SkString::Get(27), L"%d 个");
    EXPECT_EQ(SkString::Get(13), nullptr);
    EXPECT_EQ(SkString::Get(28), nullptr);
    EXPECT_EQ(SkString::Instance().Count(), 27u);

    // Escapes are resolved to angle brackets; quotes stay as they are.
    EXPECT_STREQ(SkString::Get(17), L"<button id=%d pos=\"%d,0,%d,-0\" class=normalbtn>%s</button>");
    EXPECT_STREQ(SkString::Get(26), L"<dlg pos=\"|-%d,0,|%d,-0\">%s</dlg>");
}

TEST(StringTable, MissingEntryFormatsAsAnEmptyText)
{
    ASSERT_TRUE(LoadStringTable());
    ASSERT_EQ(SkString::Get(13), nullptr);
    EXPECT_STREQ(SkString::Text(13), L"");
    CString formatted;
    formatted.Format(SkString::Text(13), 5, L"x");
    EXPECT_EQ(formatted, L"");
    formatted.Format(SkString::Text(2), 87);
    EXPECT_EQ(formatted, L"87分");
}

TEST(StringTable, EntryRules)
{
    SkString table = TableFromResource(9102);
    EXPECT_STREQ(table.Find(1), L"one");
    EXPECT_STREQ(table.Find(0), L"not a number"); // "abc" reads as 0
    EXPECT_STREQ(table.Find(42), L"leading digits");
    EXPECT_STREQ(table.Find(-3), L"negative");
    EXPECT_STREQ(table.Find(10), L"second"); // the later element wins
    // No text, or an element first: an empty text, not a missing one.
    ASSERT_NE(table.Find(7), nullptr);
    EXPECT_STREQ(table.Find(7), L"");
    ASSERT_NE(table.Find(8), nullptr);
    EXPECT_STREQ(table.Find(8), L"");
    EXPECT_EQ(table.Find(9), nullptr); // not an "s" element
    EXPECT_EQ(table.Count(), 7u);      // the element without id is skipped
}

TEST(StringTable, LoadingAddsToWhatIsThere)
{
    SkString table = TableFromResource(9102);
    ASSERT_TRUE(table.LoadXml("<string><s id=\"1\">uno</s></string>"));
    EXPECT_STREQ(table.Find(1), L"uno");
    EXPECT_STREQ(table.Find(10), L"second");
}

TEST(StringTable, RefusesOtherRootsAndBrokenText)
{
    std::string bytes;
    ASSERT_TRUE(LoadResourceData(9103, L"xml", bytes));
    SkString table;
    EXPECT_FALSE(table.LoadXml(bytes)); // root "strings"
    EXPECT_FALSE(table.LoadXml("<string><s id=\"1\">open"));
    EXPECT_FALSE(table.LoadXml(""));
    EXPECT_EQ(table.Count(), 0u);
    // Comments and declarations before the root are skipped.
    EXPECT_TRUE(table.LoadXml("<?xml version=\"1.0\"?><!-- c --><string><s id=\"3\">x</s></string>"));
    EXPECT_STREQ(table.Find(3), L"x");
}
