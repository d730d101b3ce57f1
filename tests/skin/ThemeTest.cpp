#include <gtest/gtest.h>

#include "skin/UxThemeApi.h"

// Runs first in this program: nothing has loaded uxtheme.dll yet.
TEST(UxThemeApi, WithoutTheLibraryInTheProcessNothingIsBound)
{
    if (GetModuleHandleW(L"uxtheme.dll"))
        GTEST_SKIP() << "uxtheme.dll is already in the process";
    UxThemeApi api;
    LoadUxThemeApi(api);
    EXPECT_FALSE(api.loaded);
    EXPECT_EQ(api.openThemeData, nullptr);
    EXPECT_EQ(api.setWindowTheme, nullptr);

    EXPECT_EQ(RemoveWindowTheme(nullptr), E_NOTIMPL);
    HTHEME theme = reinterpret_cast<HTHEME>(1);
    EXPECT_FALSE(OpenButtonTheme(theme));
    EXPECT_EQ(theme, nullptr);
    // Binding never loads the library itself.
    EXPECT_EQ(GetModuleHandleW(L"uxtheme.dll"), nullptr);

    // The process-wide record is filled once: a library loaded later is
    // never seen.
    HMODULE library = LoadLibraryW(L"uxtheme.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(RemoveWindowTheme(nullptr), E_NOTIMPL);
    EXPECT_FALSE(OpenButtonTheme(theme));
    FreeLibrary(library);
}

TEST(UxThemeApi, BindsTheFourEntriesOfALoadedLibrary)
{
    HMODULE library = LoadLibraryW(L"uxtheme.dll");
    ASSERT_NE(library, nullptr);
    UxThemeApi api;
    LoadUxThemeApi(api);
    EXPECT_TRUE(api.loaded);
    ASSERT_NE(api.openThemeData, nullptr);
    ASSERT_NE(api.closeThemeData, nullptr);
    EXPECT_NE(api.drawThemeBackground, nullptr);
    EXPECT_NE(api.setWindowTheme, nullptr);

    // Wine runs with a visual style, so the button theme opens.
    HTHEME theme = api.openThemeData(nullptr, L"BUTTON");
    EXPECT_NE(theme, nullptr);
    if (theme) {
        EXPECT_EQ(api.closeThemeData(theme), S_OK);
    }
    FreeLibrary(library);
}
