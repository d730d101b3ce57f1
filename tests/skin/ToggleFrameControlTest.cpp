// Runs before the glyph tests of the program that Wine starts without
// uxtheme.dll: every glyph is then drawn with DrawFrameControl.
#include <gtest/gtest.h>

#include "skin/UxThemeApi.h"

TEST(ToggleFrameControl, TheThemeLibraryIsAbsent)
{
    EXPECT_EQ(UxThemeApi::Instance().openThemeData, nullptr);
    ASSERT_EQ(GetModuleHandleW(L"uxtheme.dll"), nullptr);
}
