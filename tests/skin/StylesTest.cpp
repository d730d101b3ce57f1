#include <gtest/gtest.h>

#include "skin/SkFontPool.h"
#include "skin/SkStylePool.h"

namespace {

void ExpectDefaultStyle(const SkStyle& style)
{
    EXPECT_EQ(style.crbg, CLR_INVALID);
    EXPECT_EQ(style.crbghover, CLR_INVALID);
    EXPECT_EQ(style.crtext, CLR_INVALID);
    EXPECT_EQ(style.crhover, CLR_INVALID);
    EXPECT_EQ(style.crdisabled, 0xCCCCCCu);
    EXPECT_EQ(style.textmode, 0x28u);
    EXPECT_EQ(style.font, nullptr);
    EXPECT_EQ(style.hoverfont, nullptr);
    EXPECT_EQ(style.xMargin, 0);
    EXPECT_EQ(style.yMargin, 0);
    EXPECT_EQ(style.spacing, 0);
    EXPECT_EQ(style.linespacing, 20);
    EXPECT_EQ(style.cursor, 32512u);
    EXPECT_TRUE(style.skin.empty());
    EXPECT_TRUE(style.name.empty());
}

LOGFONTW FontInfo(HFONT font)
{
    LOGFONTW info{};
    GetObjectW(font, sizeof(info), &info);
    return info;
}

} // namespace

TEST(StylePool, FindBeforeAnyLoadGivesTheDefaultStyle)
{
    SkStylePool pool;
    SkStyle& style = pool.Find("anything");
    ExpectDefaultStyle(style);
    EXPECT_EQ(pool.Count(), 1u);
    EXPECT_EQ(&pool.Find(""), &style);
    EXPECT_EQ(&pool.Find(nullptr), &style);
}

TEST(StylePool, LoadsTheStylesOfResource101)
{
    ASSERT_TRUE(LoadStyles());
    EXPECT_EQ(SkStylePool::Instance().Count(), 5u); // the default and four named classes

    const SkStyle& button = FindStyle("normalbtn");
    EXPECT_EQ(button.name, "normalbtn");
    EXPECT_EQ(button.skin, "normalbtn");
    EXPECT_EQ(button.font, SkFontPool::Instance().FontForStyle(0));
    EXPECT_EQ(button.crtext, 0u);
    EXPECT_EQ(button.textmode, 0x25u);
    EXPECT_EQ(button.cursor, 32649u);
    EXPECT_EQ(button.xMargin, 5);
    EXPECT_EQ(button.yMargin, 0);
    EXPECT_EQ(button.crdisabled, 0xCCCCCCu);

    const SkStyle& link = FindStyle("linktext");
    EXPECT_EQ(link.font, SkFontPool::Instance().FontForStyle(0x0002));
    EXPECT_EQ(link.hoverfont, link.font);
    EXPECT_TRUE(FontInfo(link.font).lfUnderline);
    EXPECT_EQ(link.crtext, RGB(0x30, 0x64, 0xA5));
    EXPECT_EQ(link.crhover, RGB(0xFF, 0, 0));

    const SkStyle& title = FindStyle("rbdlgtitle");
    EXPECT_EQ(title.textmode, 0x8030u);
    EXPECT_EQ(FontInfo(title.font).lfWeight, 700);
    EXPECT_EQ(FontInfo(title.font).lfHeight, SkFontPool::Instance().DefaultLogFont().lfHeight - 1);

    EXPECT_EQ(FindStyle("mainbody").crbg, RGB(0x67, 0x86, 0xFA));
    EXPECT_EQ(FindStyle("mainbody").skin, "mainbgbody");

    // Unknown names, the nameless class and other elements give the default.
    EXPECT_EQ(&FindStyle("skipped"), &FindStyle(""));
    EXPECT_EQ(&FindStyle("NormalBtn"), &FindStyle(""));
    ExpectDefaultStyle(FindStyle("no such class"));
}

TEST(Style, AttributeValuesAndResults)
{
    SkStyle style;
    EXPECT_EQ(style.ApplyAttribute("textmode", "25", TRUE), S_OK);
    EXPECT_EQ(style.textmode, 0x25u); // hexadecimal, not 25
    style.ApplyAttribute("textmode", "874", TRUE);
    EXPECT_EQ(style.textmode, 0x874u);
    style.ApplyAttribute("textmode", "2x", TRUE);
    EXPECT_EQ(style.textmode, 0u);

    EXPECT_EQ(style.ApplyAttribute("crbg", "f4f4f4", TRUE), S_FALSE);
    EXPECT_EQ(style.crbg, RGB(0xF4, 0xF4, 0xF4));
    SkStyle upper;
    upper.ApplyAttribute("crbg", "F4F4F4", TRUE);
    EXPECT_EQ(upper.crbg, style.crbg);
    for (const char* colour : {"crbghover", "crtext", "crhover", "crdisabled"})
        EXPECT_EQ(style.ApplyAttribute(colour, "010203", TRUE), S_FALSE) << colour;
    EXPECT_EQ(style.crbghover, RGB(1, 2, 3));
    EXPECT_EQ(style.crdisabled, RGB(1, 2, 3));

    EXPECT_EQ(style.ApplyAttribute("margin", "3", TRUE), S_OK);
    EXPECT_EQ(style.ApplyAttribute("x-margin", "1", TRUE), S_OK);
    EXPECT_EQ(style.xMargin, 1);
    EXPECT_EQ(style.yMargin, 3);
    style.ApplyAttribute("y-margin", "-2", TRUE);
    style.ApplyAttribute("spacing", "4", TRUE);
    style.ApplyAttribute("linespacing", "16px", TRUE);
    EXPECT_EQ(style.yMargin, -2);
    EXPECT_EQ(style.spacing, 4);
    EXPECT_EQ(style.linespacing, 16);

    EXPECT_EQ(style.ApplyAttribute("cursor", "hand", TRUE), S_FALSE);
    EXPECT_EQ(style.ApplyAttribute("cursor", "wait", TRUE), E_FAIL);
    EXPECT_EQ(style.cursor, 32649u);
    EXPECT_EQ(style.ApplyAttribute("cursor", "arrow", TRUE), S_FALSE);
    EXPECT_EQ(style.cursor, 32512u);

    EXPECT_EQ(style.ApplyAttribute("font", "0104", TRUE), S_OK);
    HFONT bigBold = style.font;
    EXPECT_EQ(bigBold, SkFontPool::Instance().FontForStyle(0x0104));
    style.ApplyAttribute("font", "0104", TRUE);
    EXPECT_EQ(style.font, bigBold);
    style.ApplyAttribute("font", "bold", TRUE); // not hexadecimal: the default font
    EXPECT_EQ(style.font, SkFontPool::Instance().FontForStyle(0));
    EXPECT_EQ(style.ApplyAttribute("hoverfont", "0002", TRUE), S_OK);
    EXPECT_EQ(style.hoverfont, SkFontPool::Instance().FontForStyle(0x0002));

    EXPECT_EQ(style.ApplyAttribute("skin", "panel", TRUE), S_OK);
    EXPECT_EQ(style.ApplyAttribute("name", "mine", TRUE), S_OK);
    EXPECT_EQ(style.skin, "panel");
    EXPECT_EQ(style.name, "mine");
    EXPECT_EQ(style.ApplyAttribute("colour", "000000", TRUE), E_FAIL);
    EXPECT_EQ(style.ApplyAttribute("Crbg", "000000", TRUE), E_FAIL);
    EXPECT_TRUE(style.MatchesTag("style"));
    EXPECT_STREQ(style.TagName(), "style");
}

TEST(StylePool, RepeatedClassIsAppliedOnTopOfTheFirst)
{
    SkStylePool pool;
    ASSERT_TRUE(pool.LoadXml("<style>"
                             "<class name=\"repeat\" crtext=\"111111\" margin=\"2\"/>"
                             "<class name=\"other\" crbg=\"00FF00\"/>"
                             "<class name=\"repeat\" crtext=\"222222\" spacing=\"4\"/>"
                             "</style>"));
    const SkStyle& style = pool.Find("repeat");
    EXPECT_EQ(style.crtext, RGB(0x22, 0x22, 0x22));
    EXPECT_EQ(style.xMargin, 2);
    EXPECT_EQ(style.spacing, 4);
    EXPECT_EQ(pool.Count(), 3u);

    // A copy is the item's own: changing it leaves the pool alone.
    SkStyle copy = style;
    copy.name = "changed";
    copy.crtext = 0;
    EXPECT_EQ(pool.Find("repeat").name, "repeat");
    EXPECT_EQ(pool.Find("repeat").crtext, RGB(0x22, 0x22, 0x22));
}

TEST(StylePool, ReloadKeepsOnlyTheDefaultOnErrorsAndOtherRoots)
{
    SkStylePool pool;
    ASSERT_TRUE(pool.LoadXml("<style><class name=\"a\" crbg=\"000000\"/></style>"));
    EXPECT_EQ(pool.Count(), 2u);
    EXPECT_TRUE(pool.LoadXml("<styles><class name=\"b\"/></styles>"));
    EXPECT_EQ(pool.Count(), 1u);
    ASSERT_TRUE(pool.LoadXml("<style><class name=\"a\"/></style>"));
    EXPECT_FALSE(pool.LoadXml("<style><class name=\"a\"></style>"));
    EXPECT_EQ(pool.Count(), 1u);
    ExpectDefaultStyle(pool.Find("a"));
}
