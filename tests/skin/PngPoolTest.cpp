#include <gtest/gtest.h>

#include "skin/SkPngPool.h"
#include "skin/SkResource.h"
#include "tests/support/TempFolder.h"

TEST(PngPool, DecodesEachImageOnce)
{
    Gdiplus::Image* image = SkPngPool::Instance().GetImage(44);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 123u);
    EXPECT_EQ(image->GetHeight(), 12u);
    EXPECT_EQ(SkPngPool::Instance().GetImage(44), image);
}

TEST(PngPool, MissingOrBrokenImagesAreEmptyAndCached)
{
    for (UINT id : {77u, 78u}) {
        SCOPED_TRACE(id);
        Gdiplus::Image* image = SkPngPool::Instance().GetImage(id);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->GetWidth(), 0u);
        EXPECT_EQ(image->GetHeight(), 0u);
        EXPECT_EQ(SkPngPool::Instance().GetImage(id), image);
    }
}

TEST(PngPool, ReadsFromTheSkinFolderFirst)
{
    std::string png;
    ASSERT_TRUE(LoadResourceData(44, L"png", png));
    CTempFolder folder;
    WriteFileBytes(folder / L"9044.png", png);
    SkResourceFolder::Instance().SetSkinFolder(folder.FolderPath());
    SkPngImage loaded;
    LoadPngResource(9044, loaded);
    SkResourceFolder::Instance().SetSkinFolder(CString());
    ASSERT_TRUE(loaded.image);
    EXPECT_EQ(loaded.image->GetWidth(), 123u);
}
