#include <gtest/gtest.h>

#include "skin/SkFontPool.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"

// The library's tables in the order the program's start-up loads them: the
// styles' fonts use the face of string 0, and their skins are found by name.
TEST(SkinStartUp, TablesLoadInOrderAndReferToEachOther)
{
    ASSERT_TRUE(LoadStringTable());
    SetDefaultFontFace(SkString::Get(0));
    ASSERT_TRUE(LoadSkins());
    ASSERT_TRUE(LoadStyles());

    const SkStyle& button = FindStyle("normalbtn");
    LOGFONTW font{};
    ASSERT_NE(button.font, nullptr);
    GetObjectW(button.font, sizeof(font), &font);
    EXPECT_STREQ(font.lfFaceName, L"宋体");
    EXPECT_EQ(font.lfHeight, -12);

    CSkSkinBase* skin = FindSkin(button.skin.c_str());
    ASSERT_NE(skin, nullptr);
    EXPECT_STREQ(skin->TagName(), "button");
    // A style may name a skin that does not exist.
    EXPECT_EQ(FindSkin(FindStyle("mainbody").skin.c_str()), nullptr);
}
