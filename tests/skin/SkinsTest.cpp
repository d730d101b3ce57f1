#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "skin/SkImageSkin.h"
#include "skin/SkPngSkin.h"
#include "skin/SkSkinButton.h"
#include "skin/SkSkinGradation.h"
#include "skin/SkSkinImgFrame.h"
#include "skin/SkSkinImgHorzExtend.h"
#include "skin/SkSkinPool.h"
#include "tests/support/DibCanvas.h"
#include "tests/skin/TestImages.h"

using namespace test_images;

namespace {

const COLORREF kBack = RGB(1, 2, 3);

class SkinsTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadSkins()); }

    static CSkSkinBase& Skin(const char* name)
    {
        CSkSkinBase* skin = FindSkin(name);
        EXPECT_NE(skin, nullptr) << name;
        static CSkSkinButton none;
        return skin ? *skin : none;
    }
};

// Compares every pixel of the canvas with expected(x, y); nullopt means
// "untouched".
template <typename Expected> void ExpectCanvas(const DibCanvas& canvas, Expected expected, int tolerance = 0)
{
    int wrong = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            std::optional<COLORREF> want = expected(x, y);
            COLORREF w = want ? *want : kBack;
            COLORREF got = canvas.Pixel(x, y);
            bool matches = std::abs(GetRValue(got) - GetRValue(w)) <= tolerance &&
                           std::abs(GetGValue(got) - GetGValue(w)) <= tolerance &&
                           std::abs(GetBValue(got) - GetBValue(w)) <= tolerance;
            if (!matches && ++wrong <= 5)
                ADD_FAILURE() << "(" << x << ", " << y << ") is " << ColourText(got) << ", expected "
                              << ColourText(w);
        }
    }
    EXPECT_EQ(wrong, 0);
}

bool Inside(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The frame bitmap (7 x 35) drawn over rect with the given borders, mask
// and centre colour, pixel by pixel: which source pixel each point shows.
std::optional<COLORREF> FramePoint(const RECT& rect, int l, int t, int mask, std::optional<COLORREF> centre,
                                   int x, int y)
{
    if (!Inside(rect, x, y))
        return std::nullopt;
    const int w = 7, h = 35;
    const bool top = mask & 0x01, bottom = mask & 0x04, left = mask & 0x08, right = mask & 0x20;
    const int b = bottom ? h - t - 1 : 0;
    const int rw = right ? w - l - 1 : 0;
    const int innerLeft = left ? rect.left + l : rect.left;
    const int innerTop = top ? rect.top + t : rect.top;
    const int innerRight = rect.right - rw;
    const int innerBottom = rect.bottom - b;
    // Source column and row for each of the three horizontal and vertical zones.
    int zoneX = x < innerLeft ? 0 : (x < innerRight ? 1 : 2);
    int zoneY = y < innerTop ? 0 : (y < innerBottom ? 1 : 2);
    int sx = zoneX == 0 ? x - rect.left : (zoneX == 1 ? l : l + 1 + x - innerRight);
    int sy = zoneY == 0 ? y - rect.top : (zoneY == 1 ? t : t + 1 + y - innerBottom);
    bool drawn = false;
    if (zoneY == 0 && top)
        drawn = zoneX == 1 || (zoneX == 0 && left) || (zoneX == 2 && right);
    else if (zoneY == 2 && bottom)
        drawn = zoneX == 1 || (zoneX == 0 && left) || (zoneX == 2 && right);
    else if (zoneY == 1)
        drawn = (zoneX == 0 && left) || (zoneX == 2 && right);
    if (drawn)
        return FramePixel(sx, sy);
    if (zoneX == 1 && zoneY == 1)
        return centre;
    return std::nullopt;
}

} // namespace

TEST_F(SkinsTest, FactoryMakesEachKindByExactTag)
{
    for (const char* tag : {"imglst", "imgframe", "button", "imghorzex", "gradation", "png"}) {
        auto skin = CreateSkin(tag);
        ASSERT_TRUE(skin) << tag;
        EXPECT_STREQ(skin->TagName(), tag);
        EXPECT_TRUE(skin->MatchesTag(tag));
    }
    EXPECT_FALSE(CreateSkin("IMGLST"));
    EXPECT_FALSE(CreateSkin("sprite"));
    EXPECT_FALSE(CreateSkin("imglst")->MatchesTag("Imglst"));
}

TEST_F(SkinsTest, LoadsNamedSkinsOfKnownKindsAndTheLaterNameWins)
{
    EXPECT_STREQ(Skin("strip").TagName(), "imglst");
    EXPECT_STREQ(Skin("frameall").TagName(), "imgframe");
    EXPECT_STREQ(Skin("horz").TagName(), "imghorzex");
    EXPECT_STREQ(Skin("normalbtn").TagName(), "button");
    EXPECT_STREQ(Skin("gradv").TagName(), "gradation");
    EXPECT_STREQ(Skin("closebtn").TagName(), "png");
    EXPECT_EQ(FindSkin("unknowntag"), nullptr);
    EXPECT_EQ(FindSkin("Strip"), nullptr);
    EXPECT_EQ(FindSkin(""), nullptr);

    auto* twice = dynamic_cast<CSkSkinButton*>(FindSkin("twice"));
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(twice->bg, RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(SkSkinPool::Instance().Count(), 22u); // the nameless and the unknown element are skipped
}

TEST(SkinPool, ParseErrorsEmptyThePoolAndOtherRootsLoadNothing)
{
    SkSkinPool pool;
    ASSERT_TRUE(pool.LoadXml("<skins><button name=\"a\"/><gradation name=\"b\"/></skins>"));
    EXPECT_EQ(pool.Count(), 2u);
    EXPECT_TRUE(pool.LoadXml("<skin><button name=\"c\"/></skin>"));
    EXPECT_EQ(pool.Count(), 0u);
    ASSERT_TRUE(pool.LoadXml("\xEF\xBB\xBF<skins><button name=\"a\"/></skins>"));
    EXPECT_NE(pool.Find("a"), nullptr);
    EXPECT_FALSE(pool.LoadXml("<skins><button name=\"a\"></skins>"));
    EXPECT_EQ(pool.Count(), 0u);
}

TEST_F(SkinsTest, AttributesTakenAndRefused)
{
    CSkImageSkin image;
    EXPECT_EQ(image.ApplyAttribute("name", "x", TRUE), E_FAIL);
    EXPECT_EQ(image.ApplyAttribute("mode", "mask", TRUE), S_OK);
    EXPECT_EQ(image.ApplyAttribute("mode", "shiny", TRUE), E_FAIL);
    EXPECT_EQ(image.Image().mode, kSkImageMask);
    EXPECT_EQ(image.Image().maskColor, RGB(255, 0, 255));
    EXPECT_EQ(image.ApplyAttribute("maskcolor", "00FF00", TRUE), S_OK);
    EXPECT_EQ(image.Image().maskColor, RGB(0, 255, 0));

    CSkSkinImgFrame frame;
    EXPECT_EQ(frame.PartMask(), 0x2F);
    EXPECT_EQ(frame.Background(), CLR_INVALID);
    EXPECT_EQ(frame.ApplyAttribute("subwidth", "4", TRUE), S_OK); // handed to the image
    EXPECT_EQ(frame.ImageSkin().Image().subwidth, 4);
    struct Part {
        const char* keyword;
        int mask;
    } parts[] = {{"all", 0x2F},  {"top", 0x2B},    {"middle", 0x2A}, {"bottom", 0x2E},
                 {"left", 0x0F}, {"center", 0x07}, {"right", 0x27}};
    for (const Part& part : parts) {
        EXPECT_EQ(frame.ApplyAttribute("part", part.keyword, TRUE), S_OK);
        EXPECT_EQ(frame.PartMask(), part.mask) << part.keyword;
    }
    EXPECT_EQ(frame.ApplyAttribute("part", "Top", TRUE), E_FAIL);
    EXPECT_EQ(frame.PartMask(), 0x27);
    EXPECT_EQ(frame.ApplyAttribute("name", "x", TRUE), E_FAIL);

    // "crbg", "top" and "part" mean nothing to a horizontal bar.
    auto& refused = static_cast<CSkSkinImgHorzExtend&>(Skin("horzrefused"));
    EXPECT_EQ(refused.Left(), 5);
    EXPECT_EQ(refused.ApplyAttribute("crbg", "6B8CF7", TRUE), E_FAIL);
    EXPECT_EQ(refused.ApplyAttribute("part", "top", TRUE), E_FAIL);
    EXPECT_EQ(refused.ApplyAttribute("top", "2", TRUE), E_FAIL);

    CSkSkinGradation gradation;
    EXPECT_EQ(gradation.ApplyAttribute("direction", "vert", TRUE), S_OK);
    EXPECT_EQ(gradation.ApplyAttribute("direction", "diagonal", TRUE), E_FAIL);
    EXPECT_TRUE(gradation.vertical);

    CSkSkinButton button;
    EXPECT_EQ(button.ApplyAttribute("bguppush", "010203", TRUE), S_OK);
    EXPECT_EQ(button.bgUpPush, RGB(1, 2, 3));
    EXPECT_EQ(button.ApplyAttribute("crbg", "010203", TRUE), E_FAIL);

    // A png "src" alone loads no image; loading from XML does.
    CSkPngSkin png;
    EXPECT_EQ(png.ApplyAttribute("src", "44", TRUE), S_OK);
    EXPECT_EQ(png.Image(), nullptr);
    EXPECT_NE(static_cast<CSkPngSkin&>(Skin("pngwhole")).Image(), nullptr);
}

TEST_F(SkinsTest, ImageListDrawsTheStateAsSubImageIndex)
{
    DibCanvas canvas(80, 10, kBack);
    Skin("strip").Draw(canvas.Dc(), RECT{3, 1, 4, 2}, 1); // the rectangle's size is not used
    ExpectCanvas(canvas, [](int x, int y) -> std::optional<COLORREF> {
        if (x >= 3 && x < 75 && y >= 1 && y < 9)
            return StripPixel(72 + x - 3, y - 1);
        return std::nullopt;
    });
    EXPECT_EQ(Skin("strip").GetSkinSize().cx, 72);
    EXPECT_EQ(Skin("strip").GetSkinSize().cy, 8);
    EXPECT_FALSE(Skin("strip").IgnoresState());

    // Without a subwidth: nothing for state 0, the whole bitmap for -1.
    DibCanvas wide(220, 8, kBack);
    Skin("stripwhole").Draw(wide.Dc(), RECT{0, 0, 220, 8}, 0);
    EXPECT_EQ(wide.CountOtherThan(kBack), 0);
    Skin("stripwhole").Draw(wide.Dc(), RECT{0, 0, 220, 8}, -1);
    ExpectCanvas(wide, [](int x, int y) -> std::optional<COLORREF> {
        if (x < 216)
            return StripPixel(x, y);
        return std::nullopt;
    });
    EXPECT_EQ(Skin("stripwhole").GetSkinSize().cx, 216);
    EXPECT_TRUE(Skin("stripwhole").IgnoresState());
    EXPECT_EQ(CSkImageSkin().GetSkinSize().cx, 0);

    // The keyed strip from XML keeps magenta transparent.
    DibCanvas keyed(12, 6, kBack);
    Skin("maskstrip").Draw(keyed.Dc(), RECT{0, 0, 12, 6}, 0);
    ExpectCanvas(keyed, [](int x, int y) -> std::optional<COLORREF> {
        if (x >= 6 || MaskPixel(x, y) == RGB(255, 0, 255))
            return std::nullopt;
        return MaskPixel(x, y);
    });
}

TEST_F(SkinsTest, FrameDrawsCornersBandsAndCentre)
{
    const RECT rect{5, 4, 45, 64};
    DibCanvas canvas(50, 70, kBack);
    Skin("frameall").Draw(canvas.Dc(), rect, 0);
    ExpectCanvas(canvas,
                 [&](int x, int y) { return FramePoint(rect, 3, 10, 0x2F, RGB(0x10, 0x20, 0x30), x, y); });
    EXPECT_EQ(Skin("frameall").GetSkinSize().cx, 0);
    EXPECT_TRUE(Skin("frameall").IgnoresState());
}

TEST_F(SkinsTest, BottomFramePartHasNoTopBandOrCorners)
{
    // Bitmap 7 x 35, top 32, left 4: bottom band and corners 2 pixels high,
    // side bands stretched from row 32 from the very top.
    const RECT rect{2, 3, 30, 50};
    DibCanvas canvas(34, 54, kBack);
    Skin("framebottom").Draw(canvas.Dc(), rect, 0);
    ExpectCanvas(canvas, [&](int x, int y) { return FramePoint(rect, 4, 32, 0x2E, std::nullopt, x, y); });
    EXPECT_EQ(canvas.Pixel(2, 3), FramePixel(0, 32));
    EXPECT_EQ(canvas.Pixel(2, 48), FramePixel(0, 33));
    EXPECT_EQ(canvas.Pixel(29, 49), FramePixel(6, 34));
}

TEST_F(SkinsTest, CenterFramePartHasOnlyTopAndBottomBands)
{
    const RECT rect{0, 0, 30, 60};
    DibCanvas canvas(30, 60, kBack);
    Skin("framecenter").Draw(canvas.Dc(), rect, 0);
    ExpectCanvas(canvas,
                 [&](int x, int y) { return FramePoint(rect, 3, 10, 0x07, RGB(0x40, 0x50, 0x60), x, y); });
    EXPECT_EQ(canvas.Pixel(0, 0), FramePixel(3, 0)); // no corner: the band runs to the edge
}

// Borders past the bitmap are held to it: left and top of 20000 (or below 0)
// draw as the bitmap's last (or first) column and row, in either mode.
TEST_F(SkinsTest, FrameBordersAreHeldToTheBitmap)
{
    struct Case {
        const char* left;
        const char* top;
        const char* mode;
        int l, t;
    };
    const Case cases[] = {
        {"20000", "20000", "mask", 6, 34},
        {"20000", "3", "none", 6, 3},
        {"-5", "-5", "none", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.left) + "," + c.top + " " + c.mode);
        CSkSkinImgFrame frame;
        frame.ApplyAttribute("src", "33", TRUE);
        frame.ApplyAttribute("mode", c.mode, TRUE);
        frame.ApplyAttribute("left", c.left, TRUE);
        frame.ApplyAttribute("top", c.top, TRUE);
        frame.ApplyAttribute("crbg", "102030", TRUE);
        const RECT rect{3, 2, 43, 62};
        DibCanvas canvas(48, 66, kBack);
        frame.Draw(canvas.Dc(), rect, 0);
        ExpectCanvas(canvas, [&](int x, int y) {
            return FramePoint(rect, c.l, c.t, 0x2F, RGB(0x10, 0x20, 0x30), x, y);
        });
    }
}

// A sub-image width past the bitmap is the bitmap's width: sub-image 0 is the
// whole strip and nothing beside it, sub-image 1 lies past the bitmap.
TEST_F(SkinsTest, SubImageWidthIsHeldToTheBitmap)
{
    for (const char* mode : {"none", "mask"}) {
        SCOPED_TRACE(mode);
        CSkImageSkin strip;
        strip.ApplyAttribute("src", "5", TRUE);
        strip.ApplyAttribute("mode", mode, TRUE);
        strip.ApplyAttribute("subwidth", "20000", TRUE);
        EXPECT_EQ(strip.GetSkinSize().cx, 216);
        DibCanvas canvas(260, 10, kBack);
        strip.Draw(canvas.Dc(), RECT{0, 1, 260, 9}, 0);
        ExpectCanvas(canvas, [](int x, int y) -> std::optional<COLORREF> {
            if (x < 216 && y >= 1 && y < 9)
                return StripPixel(x, y - 1);
            return std::nullopt;
        });
        DibCanvas past(260, 10, kBack);
        strip.Draw(past.Dc(), RECT{0, 1, 260, 9}, 1);
        EXPECT_EQ(past.CountOtherThan(kBack), 0);
    }
}

TEST_F(SkinsTest, FrameWithoutBitmapOrWithAlphaDrawsOnlyWhatItCan)
{
    DibCanvas canvas(20, 20, kBack);
    Skin("framenobitmap").Draw(canvas.Dc(), RECT{0, 0, 20, 20}, 0);
    EXPECT_EQ(canvas.CountOtherThan(kBack), 0); // not even the centre

    CSkSkinImgFrame alpha;
    alpha.ApplyAttribute("src", "106", TRUE);
    alpha.ApplyAttribute("mode", "alpha", TRUE);
    alpha.ApplyAttribute("left", "2", TRUE);
    alpha.ApplyAttribute("top", "1", TRUE);
    alpha.ApplyAttribute("crbg", "FF0000", TRUE);
    alpha.Draw(canvas.Dc(), RECT{0, 0, 20, 20}, 0);
    // Bitmap 8 x 4: borders left 2, top 1, right 5, bottom 2; only the centre is filled.
    ExpectCanvas(canvas, [](int x, int y) -> std::optional<COLORREF> {
        if (x >= 2 && x < 15 && y >= 1 && y < 18)
            return RGB(255, 0, 0);
        return std::nullopt;
    });
}

TEST_F(SkinsTest, HorizontalBarPicksTheSubImageByState)
{
    struct Case {
        int state;
        int sub;
    } cases[] = {{0, 0}, {0x01, 1}, {0x02, 2}, {0x03, 2}, {0x04, 0}, {0x11, 3}, {0x12, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        DibCanvas canvas(30, 8, kBack);
        Skin("horz").Draw(canvas.Dc(), RECT{2, 1, 27, 20}, c.state);
        ExpectCanvas(canvas, [&](int x, int y) -> std::optional<COLORREF> {
            if (x < 2 || x >= 27 || y < 1 || y >= 7)
                return std::nullopt;
            int i = x - 2;
            int column = i < 3 ? i : (i < 19 ? 3 : i - 19 + 4); // caps 3 and 6, middle 16
            return HorzPixel(c.sub * 10 + column, y - 1);
        });
    }
    EXPECT_EQ(CSkSkinImgHorzExtend::SubIndexForState(-1), -1);
    EXPECT_EQ(Skin("horz").GetSkinSize().cx, 0);
    EXPECT_EQ(Skin("horz").GetSkinSize().cy, 6);
    EXPECT_FALSE(Skin("horz").IgnoresState());
}

TEST_F(SkinsTest, ButtonStates)
{
    const auto& normal = static_cast<const CSkSkinButton&>(Skin("normalbtn"));
    EXPECT_EQ(normal.border, RGB(0x7D, 0x9E, 0xBC));
    struct Case {
        int state;
        COLORREF top; // gradient top colour, or the fill when disabled
        COLORREF bottom;
    } cases[] = {
        {0x00, RGB(0xFE, 0xFE, 0xFE), RGB(0xC6, 0xE2, 0xFD)},
        {0x01, RGB(0xFE, 0xFE, 0xFE), RGB(0xDB, 0xED, 0xFE)},
        {0x02, RGB(0xC6, 0xE2, 0xFD), RGB(0xFE, 0xFE, 0xFE)},
        {0x03, RGB(0xC6, 0xE2, 0xFD), RGB(0xFE, 0xFE, 0xFE)}, // pushed wins over hover
        {0x10, RGB(0xFB, 0xFC, 0xFD), RGB(0xFB, 0xFC, 0xFD)},
        {0x13, RGB(0xFB, 0xFC, 0xFD), RGB(0xFB, 0xFC, 0xFD)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        DibCanvas canvas(40, 30, kBack);
        HGDIOBJ pen = GetCurrentObject(canvas.Dc(), OBJ_PEN);
        HGDIOBJ brush = GetCurrentObject(canvas.Dc(), OBJ_BRUSH);
        const RECT rect{5, 5, 35, 25};
        normal.Draw(canvas.Dc(), rect, c.state);
        EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_BRUSH), brush);
        ExpectCanvas(
            canvas,
            [&](int x, int y) -> std::optional<COLORREF> {
                if (!Inside(rect, x, y))
                    return std::nullopt;
                if (x == 5 || x == 34 || y == 5 || y == 24)
                    return normal.border;
                if (x == 6 || x == 33 || y == 6 || y == 23)
                    return normal.bg;
                // Gradient rows 7 to 22, from the top colour to the bottom one.
                double f = (y - 7) / 16.0;
                return RGB(GetRValue(c.top) + (GetRValue(c.bottom) - GetRValue(c.top)) * f,
                           GetGValue(c.top) + (GetGValue(c.bottom) - GetGValue(c.top)) * f,
                           GetBValue(c.top) + (GetBValue(c.bottom) - GetBValue(c.top)) * f);
            },
            3);
    }
}

TEST_F(SkinsTest, UglyButtonUsesTheDefaults)
{
    const auto& ugly = static_cast<const CSkSkinButton&>(Skin("uglybtn"));
    EXPECT_EQ(ugly.bg, 0xEEEEEEu);
    EXPECT_EQ(ugly.border, 0x707070u);
    EXPECT_EQ(ugly.bgUpPush, 0xCECECEu);
    EXPECT_EQ(ugly.bgDownPush, 0xC0C0C0u);
    EXPECT_EQ(ugly.bgDownHover, 0xE0E0E0u);
    DibCanvas canvas(10, 10, kBack);
    ugly.Draw(canvas.Dc(), RECT{0, 0, 10, 10}, 0);
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(0x70, 0x70, 0x70));
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(0xEE, 0xEE, 0xEE));
    EXPECT_FALSE(ugly.IgnoresState());
}

TEST_F(SkinsTest, GradationBandThenEndColourInsideTheRectangleOnly)
{
    DibCanvas canvas(110, 8, kBack);
    HRGN clipBefore = CreateRectRgn(0, 0, 0, 0);
    int hadClip = GetClipRgn(canvas.Dc(), clipBefore);
    Skin("gradh").Draw(canvas.Dc(), RECT{5, 1, 105, 7}, 0);
    EXPECT_EQ(GetClipRgn(canvas.Dc(), clipBefore), hadClip); // the DC's clipping is restored
    DeleteObject(clipBefore);
    ExpectCanvas(
        canvas,
        [](int x, int y) -> std::optional<COLORREF> {
            if (x < 5 || x >= 105 || y < 1 || y >= 7)
                return std::nullopt;
            int v = x - 5 < 50 ? 255 * (x - 5) / 50 : 255;
            return RGB(v, v, v);
        },
        3);

    // A band longer than the rectangle is cut at its edge.
    CSkSkinGradation long_band;
    long_band.ApplyAttribute("from", "000000", TRUE);
    long_band.ApplyAttribute("to", "FFFFFF", TRUE);
    long_band.ApplyAttribute("size", "200", TRUE);
    canvas.Fill(kBack);
    long_band.Draw(canvas.Dc(), RECT{10, 0, 30, 8}, 0);
    for (int x = 0; x < 110; ++x)
        EXPECT_EQ(canvas.Pixel(x, 3) == kBack, x < 10 || x >= 30) << x;
}

TEST_F(SkinsTest, VerticalGradationWithSizeZeroCoversTheWholeHeight)
{
    DibCanvas canvas(6, 40, kBack);
    Skin("gradv").Draw(canvas.Dc(), RECT{1, 0, 5, 40}, 0);
    ExpectCanvas(
        canvas,
        [](int x, int y) -> std::optional<COLORREF> {
            if (x < 1 || x >= 5)
                return std::nullopt;
            return RGB(255 - 255 * y / 40, 0, 255 * y / 40);
        },
        4);
    EXPECT_TRUE(Skin("gradv").IgnoresState());
}

TEST_F(SkinsTest, PngSkinDrawsTheSourceColumnsOfTheState)
{
    const COLORREF back = RGB(0, 0, 0);
    DibCanvas canvas(60, 16, back);
    Skin("closebtn").Draw(canvas.Dc(), RECT{4, 2, 5, 3}, 2); // columns 82-122 at the rectangle's corner
    int wrong = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 60; ++x) {
            COLORREF want = back;
            if (x >= 4 && x < 45 && y >= 2 && y < 14) {
                Rgba p = PngPixel(82 + x - 4, y - 2);
                want = RGB(p.r * p.a / 255, p.g * p.a / 255, p.b * p.a / 255);
            }
            COLORREF got = canvas.Pixel(x, y);
            bool matches = std::abs(GetRValue(got) - GetRValue(want)) <= 2 &&
                           std::abs(GetGValue(got) - GetGValue(want)) <= 2 &&
                           std::abs(GetBValue(got) - GetBValue(want)) <= 2;
            if (!matches && ++wrong <= 5)
                ADD_FAILURE() << "(" << x << ", " << y << ") " << ColourText(got)
                              << " != " << ColourText(want);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(Skin("closebtn").GetSkinSize().cx, 41);
    EXPECT_EQ(Skin("closebtn").GetSkinSize().cy, 12);
    EXPECT_FALSE(Skin("closebtn").IgnoresState());
}

TEST_F(SkinsTest, PngSkinWithoutSubwidthDrawsTheWholeImage)
{
    DibCanvas canvas(130, 12, kBack);
    Skin("pngwhole").Draw(canvas.Dc(), RECT{2, 0, 3, 1}, 1);
    for (int x = 0; x < 130; ++x) {
        COLORREF got = canvas.Pixel(x, 5);
        if (x >= 2 && x < 125) {
            Rgba p = PngPixel(x - 2, 5);
            EXPECT_LE(std::abs(GetRValue(got) - p.r) + std::abs(GetGValue(got) - p.g) +
                          std::abs(GetBValue(got) - p.b),
                      3)
                << x;
        } else {
            EXPECT_EQ(got, kBack) << x;
        }
    }
    EXPECT_EQ(canvas.Pixel(10, 10), kBack); // the transparent row
    EXPECT_EQ(Skin("pngwhole").GetSkinSize().cx, 123);
    EXPECT_TRUE(Skin("pngwhole").IgnoresState());

    // Images that are missing or do not decode have no size and draw nothing.
    for (const char* name : {"pngmissing", "pngbroken"}) {
        canvas.Fill(kBack);
        Skin(name).Draw(canvas.Dc(), RECT{0, 0, 130, 12}, 0);
        EXPECT_EQ(canvas.CountOtherThan(kBack), 0) << name;
        EXPECT_EQ(Skin(name).GetSkinSize().cx, 0) << name;
    }
}
