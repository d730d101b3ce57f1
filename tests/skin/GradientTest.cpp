#include <gtest/gtest.h>

#include <cstdlib>

#include "skin/SkGradient.h"
#include "tests/support/DibCanvas.h"

namespace {

const COLORREF kBack = RGB(1, 2, 3);

// GradientFill interpolates per pixel; allow a little rounding.
bool Near(COLORREF got, int r, int g, int b)
{
    return std::abs(GetRValue(got) - r) <= 3 && std::abs(GetGValue(got) - g) <= 3 &&
           std::abs(GetBValue(got) - b) <= 3;
}

} // namespace

TEST(Gradient, HorizontalBandRunsOverItsLengthOnly)
{
    DibCanvas canvas(100, 6, kBack);
    GradientFillRect(SkGradientStops{RGB(0, 0, 0), 50, RGB(250, 100, 0)}, RECT{0, 1, 100, 5}, canvas.Dc());
    for (int x = 0; x < 100; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(canvas.Pixel(x, 0), kBack);
        EXPECT_EQ(canvas.Pixel(x, 5), kBack);
        for (int y = 1; y < 5; ++y) {
            COLORREF got = canvas.Pixel(x, y);
            if (x < 50)
                EXPECT_TRUE(Near(got, 250 * x / 50, 100 * x / 50, 0)) << ColourText(got);
            else
                EXPECT_EQ(got, kBack);
        }
    }
    EXPECT_TRUE(Near(canvas.Pixel(0, 1), 0, 0, 0));
    EXPECT_GT(GetRValue(canvas.Pixel(49, 1)), 240);
}

TEST(Gradient, VerticalBandRunsDownFromTheTop)
{
    DibCanvas canvas(8, 40, kBack);
    GradientFillRectVert(SkGradientStops{RGB(255, 0, 0), 20, RGB(0, 0, 255)}, RECT{2, 5, 6, 40}, canvas.Dc());
    for (int y = 0; y < 40; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(canvas.Pixel(1, y), kBack);
        EXPECT_EQ(canvas.Pixel(6, y), kBack);
        COLORREF got = canvas.Pixel(3, y);
        if (y >= 5 && y < 25)
            EXPECT_TRUE(Near(got, 255 - 255 * (y - 5) / 20, 0, 255 * (y - 5) / 20)) << ColourText(got);
        else
            EXPECT_EQ(got, kBack);
    }
}

TEST(Gradient, ZeroLengthAndInvertedRectanglesDrawNothing)
{
    DibCanvas canvas(20, 20, kBack);
    GradientFillRect(SkGradientStops{RGB(255, 255, 255), 0, RGB(255, 255, 255)}, RECT{0, 0, 20, 20},
                     canvas.Dc());
    GradientFillRectVert(SkGradientStops{RGB(255, 255, 255), 0, RGB(255, 255, 255)}, RECT{0, 0, 20, 20},
                         canvas.Dc());
    GradientFillRect(SkGradientStops{RGB(255, 255, 255), 5, RGB(255, 255, 255)}, RECT{10, 0, 5, 20},
                     canvas.Dc());
    GradientFillRectVert(SkGradientStops{RGB(255, 255, 255), 5, RGB(255, 255, 255)}, RECT{0, 10, 20, 5},
                         canvas.Dc());
    EXPECT_EQ(canvas.CountOtherThan(kBack), 0);
}
