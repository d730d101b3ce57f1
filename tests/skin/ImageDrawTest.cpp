#include <gtest/gtest.h>

#include "base/Handle.h"
#include "skin/SkBmpPool.h"
#include "skin/SkImageDraw.h"
#include "skin/SkResource.h"
#include "tests/support/DibCanvas.h"
#include "tests/skin/TestImages.h"
#include "tests/support/TempFolder.h"

using namespace test_images;

namespace {

const COLORREF kBack = RGB(1, 2, 3);

SkinBitmap Image(UINT id, int subwidth, int mode)
{
    SkinBitmap image;
    image.bitmap = SkBmpPool::Instance().GetBitmap(id);
    image.subwidth = subwidth;
    image.mode = mode;
    return image;
}

// Checks that the w x h area at (x, y) shows expected(i, j) and that every
// other pixel still has the background colour.
template <typename Expected>
void ExpectArea(const DibCanvas& canvas, int x, int y, int w, int h, Expected expected)
{
    int wrong = 0;
    for (int py = 0; py < canvas.Height(); ++py) {
        for (int px = 0; px < canvas.Width(); ++px) {
            bool inside = px >= x && px < x + w && py >= y && py < y + h;
            COLORREF want = inside ? expected(px - x, py - y) : kBack;
            COLORREF got = canvas.Pixel(px, py);
            if (got != want && ++wrong <= 5)
                ADD_FAILURE() << "pixel (" << px << ", " << py << ") is " << ColourText(got) << ", expected "
                              << ColourText(want);
        }
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace

TEST(BmpPool, LoadsEachBitmapOnceAndRetriesMissingOnes)
{
    SkBmpPool pool;
    HBITMAP strip = pool.GetBitmap(5);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(pool.GetBitmap(5), strip);
    SIZE size = BitmapSize(strip);
    EXPECT_EQ(size.cx, 216);
    EXPECT_EQ(size.cy, 8);
    EXPECT_EQ(pool.GetBitmap(4242), nullptr);
}

TEST(BmpPool, SkinFolderBitmapComesFirst)
{
    // A bitmap file made from the embedded frame bitmap: a file header in
    // front of the resource's bytes.
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(33), RT_BITMAP);
    ASSERT_NE(resource, nullptr);
    std::string dib;
    ASSERT_TRUE(LoadModuleResource(resource, dib));
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfSize = static_cast<DWORD>(sizeof(header) + dib.size());
    header.bfOffBits = sizeof(header) + sizeof(BITMAPINFOHEADER);
    CTempFolder folder;
    WriteFileBytes(folder / L"5.bmp",
                   std::string(reinterpret_cast<const char*>(&header), sizeof(header)) + dib);

    SkResourceFolder::Instance().SetSkinFolder(folder.FolderPath());
    SkBmpPool pool;
    HBITMAP fromFolder = pool.GetBitmap(5);
    HBITMAP embedded = pool.GetBitmap(6); // no 6.bmp in the folder
    SkResourceFolder::Instance().SetSkinFolder(CString());

    EXPECT_EQ(BitmapSize(fromFolder).cx, 7);
    EXPECT_EQ(BitmapSize(fromFolder).cy, 35);
    EXPECT_EQ(BitmapSize(embedded).cx, 40);
}

TEST(DrawSkinImage, CopiesTheChosenSubImage)
{
    DibCanvas canvas(90, 12, kBack);
    SkinBitmap strip = Image(5, 72, kSkImageOpaque);
    ASSERT_TRUE(DrawSkinImage(2, strip, canvas.Dc(), 5, 1));
    ExpectArea(canvas, 5, 1, 72, 8, [](int i, int j) { return StripPixel(144 + i, j); });
}

TEST(DrawSkinImage, WholeBitmapNeedsIndexMinusOneWithoutSubwidth)
{
    SkinBitmap whole = Image(5, 0, kSkImageOpaque);
    DibCanvas canvas(220, 10, kBack);
    EXPECT_FALSE(DrawSkinImage(0, whole, canvas.Dc(), 0, 0));
    EXPECT_EQ(canvas.CountOtherThan(kBack), 0);
    ASSERT_TRUE(DrawSkinImage(-1, whole, canvas.Dc(), 2, 1));
    ExpectArea(canvas, 2, 1, 216, 8, [](int i, int j) { return StripPixel(i, j); });

    // Index -1 also draws the whole strip of an image with a subwidth.
    canvas.Fill(kBack);
    ASSERT_TRUE(DrawSkinImage(-1, Image(5, 72, kSkImageOpaque), canvas.Dc(), 2, 1));
    ExpectArea(canvas, 2, 1, 216, 8, [](int i, int j) { return StripPixel(i, j); });

    SkinBitmap none;
    EXPECT_FALSE(DrawSkinImage(-1, none, canvas.Dc(), 0, 0));
    SkinBitmap unknownMode = Image(5, 0, 7);
    canvas.Fill(kBack);
    EXPECT_FALSE(DrawSkinImage(-1, unknownMode, canvas.Dc(), 0, 0));
    EXPECT_EQ(canvas.CountOtherThan(kBack), 0);
}

TEST(DrawSkinImage, MaskColourLeavesTheDestination)
{
    DibCanvas canvas(20, 10, kBack);
    SkinBitmap masked = Image(107, 6, kSkImageMask); // magenta by default
    ASSERT_TRUE(DrawSkinImage(1, masked, canvas.Dc(), 3, 2));
    ExpectArea(canvas, 3, 2, 6, 6, [](int i, int j) {
        COLORREF source = MaskPixel(6 + i, j);
        return source == RGB(255, 0, 255) ? kBack : source;
    });

    canvas.Fill(kBack);
    masked.maskColor = RGB(0, 255, 0);
    ASSERT_TRUE(DrawSkinImage(-1, masked, canvas.Dc(), 0, 0));
    ExpectArea(canvas, 0, 0, 12, 6, [](int i, int j) {
        COLORREF source = MaskPixel(i, j);
        return source == RGB(0, 255, 0) ? kBack : source;
    });
}

TEST(DrawSkinImage, AlphaBlendsEachChannelWithStraightAlpha)
{
    const COLORREF back = RGB(30, 160, 250);
    DibCanvas canvas(12, 8, back);
    SkinBitmap alpha = Image(106, 4, kSkImageAlpha);
    ASSERT_TRUE(DrawSkinImage(1, alpha, canvas.Dc(), 5, 3));
    int wrong = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            COLORREF want = back;
            if (x >= 5 && x < 9 && y >= 3 && y < 7) {
                Rgba s = AlphaPixel(4 + x - 5, y - 3);
                auto blend = [&](int source, int dest) { return (source * s.a + dest * (255 - s.a)) / 255; };
                want = RGB(blend(s.r, 30), blend(s.g, 160), blend(s.b, 250));
            }
            COLORREF got = canvas.Pixel(x, y);
            if (got != want && ++wrong <= 5)
                ADD_FAILURE() << "(" << x << ", " << y << ") " << ColourText(got)
                              << " != " << ColourText(want);
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(AlphaBlendBitmap, BlendsFromADibSectionInEitherRowOrder)
{
    for (LONG height : {-2L, 2L}) {
        SCOPED_TRACE(height < 0 ? "top-down" : "bottom-up");
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 3;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        DWORD* bits = nullptr;
        CBitmapHandle bitmap(
            CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
        ASSERT_TRUE(bitmap);
        // Row 0 (top): opaque red, transparent, half white; row 1: quarter blue.
        const DWORD top[3] = {0xFFFF0000, 0x00FFFFFF, 0x80FFFFFF};
        const DWORD bottom[3] = {0x400000FF, 0x400000FF, 0x400000FF};
        for (int x = 0; x < 3; ++x) {
            bits[(height < 0 ? 0 : 1) * 3 + x] = top[x];
            bits[(height < 0 ? 1 : 0) * 3 + x] = bottom[x];
        }
        DibCanvas canvas(4, 3, RGB(100, 100, 100));
        ASSERT_TRUE(AlphaBlendBitmap(canvas.Dc(), bitmap, 1, 1, 2, 2, 1)); // source columns 1 and 2
        EXPECT_EQ(canvas.Pixel(1, 1), RGB(100, 100, 100));                 // alpha 0
        EXPECT_EQ(canvas.Pixel(2, 1), RGB(177, 177, 177));                 // (255 * 128 + 100 * 127) / 255
        EXPECT_EQ(canvas.Pixel(1, 2), RGB(74, 74, 138));                   // alpha 64 of blue
        EXPECT_EQ(canvas.Pixel(0, 0), RGB(100, 100, 100));
        EXPECT_EQ(canvas.Pixel(3, 2), RGB(100, 100, 100));
    }
}

TEST(AlphaBlendBitmap, DrawsNothingForA24BitBitmap)
{
    DibCanvas canvas(220, 10, kBack);
    // A bitmap made at 24 bits per pixel is refused.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    CBitmapHandle rgb(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(rgb);
    SkinBitmap image;
    image.bitmap = rgb;
    image.mode = kSkImageAlpha;
    EXPECT_FALSE(DrawSkinImage(-1, image, canvas.Dc(), 0, 0));
    EXPECT_FALSE(AlphaBlendBitmap(canvas.Dc(), rgb, 0, 0, 4, 4, 0));
    // A 24-bit resource is loaded at the display's depth with no alpha: in
    // alpha mode it leaves the destination as it was.
    DrawSkinImage(-1, Image(5, 0, kSkImageAlpha), canvas.Dc(), 0, 0);
    EXPECT_EQ(canvas.CountOtherThan(kBack), 0);
}

TEST(DrawSkinImagePart, OffsetsBySubImageAndRefusesAlpha)
{
    DibCanvas canvas(20, 10, kBack);
    SkinBitmap horz = Image(6, 10, kSkImageOpaque);
    ASSERT_TRUE(DrawSkinImagePart(horz, canvas.Dc(), 2, 1, 4, 3, 5, 2, 3));
    ExpectArea(canvas, 2, 1, 4, 3, [](int i, int j) { return HorzPixel(35 + i, 2 + j); });

    canvas.Fill(kBack);
    ASSERT_TRUE(DrawSkinImagePart(horz, canvas.Dc(), 0, 0, 4, 3, 5, 2, -1));
    ExpectArea(canvas, 0, 0, 4, 3, [](int i, int j) { return HorzPixel(5 + i, 2 + j); });

    canvas.Fill(kBack);
    EXPECT_FALSE(DrawSkinImagePart(Image(106, 4, kSkImageAlpha), canvas.Dc(), 0, 0, 4, 4, 0, 0, -1));
    EXPECT_FALSE(StretchSkinImagePart(Image(106, 4, kSkImageAlpha), canvas.Dc(), 0, 0, 8, 4, 0, 0, 4, 4, -1));
    EXPECT_EQ(canvas.CountOtherThan(kBack), 0);
}

TEST(StretchSkinImagePart, StretchesOneColumnAndKeysMaskedPixels)
{
    DibCanvas canvas(30, 10, kBack);
    ASSERT_TRUE(StretchSkinImagePart(Image(6, 10, kSkImageOpaque), canvas.Dc(), 3, 2, 20, 6, 4, 0, 1, 6, 1));
    ExpectArea(canvas, 3, 2, 20, 6, [](int, int j) { return HorzPixel(14, j); });

    // A masked column stretched: keyed rows stay transparent over the whole width.
    canvas.Fill(kBack);
    ASSERT_TRUE(StretchSkinImagePart(Image(107, 6, kSkImageMask), canvas.Dc(), 0, 0, 25, 6, 2, 0, 1, 6, -1));
    ExpectArea(canvas, 0, 0, 25, 6, [](int, int j) {
        COLORREF source = MaskPixel(2, j);
        return source == RGB(255, 0, 255) ? kBack : source;
    });
}

TEST(DrawSkinHorzFrame, CapsAndStretchedMiddle)
{
    // The 7-column frame bitmap as a bar with left 3 over 100 pixels: caps of
    // 3 and 3 columns and a 94-pixel middle made from column 3.
    DibCanvas canvas(120, 40, kBack);
    DrawSkinHorzFrame(RECT{10, 2, 110, 37}, 3, canvas.Dc(), Image(33, 0, kSkImageOpaque), -1);
    ExpectArea(canvas, 10, 2, 100, 35, [](int i, int j) {
        int column = i < 3 ? i : (i < 97 ? 3 : i - 97 + 4);
        return FramePixel(column, j);
    });
}

TEST(DrawSkinHorzFrame, UsesTheSubImageOfTheState)
{
    DibCanvas canvas(60, 8, kBack);
    DrawSkinHorzFrame(RECT{4, 1, 54, 7}, 3, canvas.Dc(), Image(6, 10, kSkImageOpaque), 2);
    // Piece of 10: left cap 3, right cap 6, middle 50 - 10 + 1 = 41.
    ExpectArea(canvas, 4, 1, 50, 6, [](int i, int j) {
        int column = i < 3 ? i : (i < 44 ? 3 : i - 44 + 4);
        return HorzPixel(20 + column, j);
    });
}

TEST(DrawSkinHorzFrame, NarrowLowRectangleKeepsTheBarsHeightButNotItsWidth)
{
    // 6 pixels wide and 4 high, narrower than a 10-column piece and lower
    // than the 6-row bitmap: the piece is laid out 10 wide and cut at the
    // item's sides, and drawn at the bitmap's own height from the top.
    DibCanvas canvas(40, 12, kBack);
    DrawSkinHorzFrame(RECT{20, 2, 26, 6}, 3, canvas.Dc(), Image(6, 10, kSkImageOpaque), 1);
    ExpectArea(canvas, 20, 2, 6, 6, [](int i, int j) {
        // Left cap 0-2, middle column 3, right cap from column 4.
        return HorzPixel(10 + i, j);
    });
}

TEST(CreateBackBuffer, MakesABlackBitmapOfTheSize)
{
    HBITMAP made = nullptr;
    ASSERT_TRUE(CreateBackBuffer(made, 30, 20));
    CBitmapHandle buffer(made);
    EXPECT_EQ(BitmapSize(buffer).cx, 30);
    EXPECT_EQ(BitmapSize(buffer).cy, 20);
    DibCanvas canvas(30, 20, kBack);
    SkinBitmap whole;
    whole.bitmap = buffer;
    ASSERT_TRUE(DrawSkinImage(-1, whole, canvas.Dc(), 0, 0));
    EXPECT_EQ(canvas.CountOtherThan(RGB(0, 0, 0)), 0);
}
