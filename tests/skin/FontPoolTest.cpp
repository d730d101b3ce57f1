#include <gtest/gtest.h>

#include "skin/SkFontPool.h"

namespace {

LOGFONTW FontInfo(HFONT font)
{
    LOGFONTW info{};
    EXPECT_EQ(GetObjectW(font, sizeof(info), &info), static_cast<int>(sizeof(info)));
    return info;
}

LONG DefaultGuiWeight()
{
    LOGFONTW info{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(info), &info);
    return info.lfWeight;
}

} // namespace

TEST(FontPool, StartsWithTahomaAtHeight11)
{
    SkFontPool pool;
    HFONT font = pool.FontForStyle(0);
    ASSERT_NE(font, nullptr);
    LOGFONTW info = FontInfo(font);
    EXPECT_STREQ(info.lfFaceName, L"Tahoma");
    EXPECT_EQ(info.lfHeight, -11);
    EXPECT_EQ(info.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(info.lfWeight, DefaultGuiWeight());
}

TEST(FontPool, StyleWordsSetWeightUnderlineItalicAndHeight)
{
    SkFontPool pool;
    pool.SetDefaultFace(L"宋体");
    ASSERT_EQ(pool.DefaultHeight(), -12);

    struct Case {
        WORD style;
        LONG weight;
        BYTE underline;
        BYTE italic;
        LONG height;
    } cases[] = {
        {0x0004, 700, 0, 0, -12}, {0x0104, 700, 0, 0, -13}, {0xFF00, 400, 0, 0, -11},
        {0x0002, 400, 1, 0, -12}, {0x0001, 400, 0, 1, -12}, {0x0008, 400, 0, 0, -12},
        {0x0207, 700, 1, 1, -14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style 0x" << std::hex << c.style);
        HFONT font = pool.FontForStyle(c.style);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(pool.FontForStyle(c.style), font); // made once, then cached
        LOGFONTW info = FontInfo(font);
        EXPECT_EQ(info.lfWeight, c.weight);
        EXPECT_EQ(info.lfUnderline, c.underline);
        EXPECT_EQ(info.lfItalic, c.italic);
        EXPECT_EQ(info.lfHeight, c.height);
        EXPECT_STREQ(info.lfFaceName, L"宋体");
        EXPECT_EQ(info.lfQuality, ANTIALIASED_QUALITY);
    }
    // Bits 3-7 only make another key: a font of its own, not word 0's.
    EXPECT_NE(pool.FontForStyle(0x0008), pool.FontForStyle(0));
    EXPECT_EQ(FontInfo(pool.FontForStyle(0)).lfWeight, DefaultGuiWeight());
}

TEST(FontPool, NewDefaultFaceReplacesWordZeroOnly)
{
    SkFontPool pool;
    HFONT oldDefault = pool.FontForStyle(0);
    HFONT bold = pool.FontForStyle(0x0004);
    pool.SetDefaultFace(L"宋体");

    HFONT newDefault = pool.FontForStyle(0);
    EXPECT_NE(newDefault, oldDefault);
    EXPECT_EQ(GetObjectType(oldDefault), 0u); // the old default font was deleted
    EXPECT_STREQ(FontInfo(newDefault).lfFaceName, L"宋体");
    EXPECT_EQ(FontInfo(newDefault).lfHeight, -12);
    // A font made before keeps its face and handle.
    EXPECT_EQ(pool.FontForStyle(0x0004), bold);
    EXPECT_STREQ(FontInfo(bold).lfFaceName, L"Tahoma");
}

TEST(FontPool, LongFaceIsCutAt31CharactersAndNullIsEmpty)
{
    SkFontPool pool;
    const wchar_t* longFace = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop"; // 42 characters
    pool.SetDefaultFace(longFace);
    EXPECT_EQ(pool.DefaultFace(), CString(longFace, 31));
    EXPECT_EQ(CString(pool.DefaultLogFont().lfFaceName), CString(longFace, 31));
    HFONT font = pool.FontForStyle(0);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(CString(FontInfo(font).lfFaceName), CString(longFace, 31));

    pool.SetDefaultFace(nullptr);
    EXPECT_TRUE(pool.DefaultFace().IsEmpty());
    ASSERT_NE(pool.FontForStyle(0), nullptr);
    EXPECT_STREQ(FontInfo(pool.FontForStyle(0)).lfFaceName, L"");
}

TEST(FontPool, SetDefaultFontFaceActsOnTheProcessPool)
{
    SetDefaultFontFace(L"宋体");
    EXPECT_EQ(SkFontPool::Instance().DefaultFace(), L"宋体");
    EXPECT_EQ(&SkFontPool::Instance(), &SkFontPool::Instance());
    EXPECT_STREQ(FontInfo(SkFontPool::Instance().FontForStyle(0)).lfFaceName, L"宋体");
}
