#include "ItemTestSupport.h"
#include "TestLayout.h"

#include <gtest/gtest.h>

#include <string>

#include "skin/SkProgress.h"

using test_images::HorzPixel;
using test_images::StripPixel;

namespace {

const COLORREF kFrame = RGB(112, 112, 112);
const COLORREF kBar = RGB(66, 97, 144);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBack = RGB(1, 2, 3);
const UINT kPercentFormat = DT_SINGLELINE | DT_VCENTER | DT_CENTER;

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadItemSkins();
        LoadItemStyles();
    }

    // A progress bar from its attributes, placed at {10, 10, 114, 30}.
    CSkProgress& Make(const std::string& attributes)
    {
        m_layout = std::make_unique<TestLayout>(
            "<body><progress id=\"1\" pos=\"10,10,114,30\" " + attributes + "/></body>", 124, 40);
        return static_cast<CSkProgress&>(*m_layout->Item(1));
    }

private:
    std::unique_ptr<TestLayout> m_layout;
};

} // namespace

TEST_F(ProgressTest, ValuesArePutInOrderAndClampedWhenDrawn)
{
    struct Case {
        const char* attributes;
        UINT min, max, value; // as stored after drawing
        int barWidth;         // of the 100 pixels inside the frame
    };
    const Case cases[] = {
        {R"(min="0" max="100" value="50")", 0, 100, 50, 50},
        {R"(min="0" max="100" value="150")", 0, 100, 100, 100},
        {R"(min="100" max="0" value="30")", 0, 100, 30, 30},
        {R"(min="10" max="20" value="5")", 10, 20, 10, 0},
        {R"(min="0" max="3" value="1")", 0, 3, 1, 33},
        {R"(min="50" max="50" value="70")", 50, 50, 70, 0}, // equal ends: empty, value kept
        // Compared unsigned: -1 is the greatest value.
        {R"(min="0" max="-1" value="5")", 0, 0xFFFFFFFFu, 5, 0},
        {R"(min="-5" max="10" value="20")", 10, 0xFFFFFFFBu, 20, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        CSkProgress& progress = Make(c.attributes);
        ItemCanvas canvas(124, 40);
        canvas.Draw(progress);
        EXPECT_EQ(c.min, progress.m_min);
        EXPECT_EQ(c.max, progress.m_max);
        EXPECT_EQ(c.value, progress.m_value);
        // The bar, inset by 2 from the frame, filled up to its width.
        const RECT bar = {12, 12, 12 + c.barWidth, 28};
        ExpectPixels(canvas, [&](int x, int y) -> std::optional<COLORREF> {
            if (Inside(bar, x, y))
                return kBar;
            if (y == 20 && (x == 10 || x == 113))
                return kFrame; // left and right edges of the rounded frame
            if (x == 60 && (y == 10 || y == 29))
                return kFrame;
            if (Inside(RECT{11, 11, 113, 29}, x, y))
                return kWhite; // the DC's brush inside the frame
            if (!Inside(RECT{10, 10, 114, 30}, x, y))
                return kBack;
            return std::nullopt;
        });
    }
}

TEST_F(ProgressTest, ThePercentageChangesColourOverTheBar)
{
    struct Case {
        const char* attributes;
        const wchar_t* text;
        int barWidth;
        COLORREF overBar;
    };
    const Case cases[] = {
        {R"(max="100" value="50" showpercent="1" crtext="0000FF")", L"50%", 50, kWhite},
        {R"(max="7" value="4" showpercent="1" crtext="0000FF" crbg="FFFF00")", L"57%", 57,
         RGB(0xFF, 0xFF, 0)},
        {R"(min="7" max="7" showpercent="1" crtext="0000FF")", L"0%", 0, kWhite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        CSkProgress& progress = Make(c.attributes);
        ItemCanvas canvas(124, 40);
        canvas.Draw(progress);
        const TextInk ink(124, 40, DefaultSkinFont(), c.text, progress.m_rect, kPercentFormat);
        const RECT bar = {12, 12, 12 + c.barWidth, 28};
        int inkOverBar = 0;
        int inkBeside = 0;
        ExpectPixels(canvas, [&](int x, int y) -> std::optional<COLORREF> {
            if (!ink.At(x, y))
                return std::nullopt;
            if (Inside(bar, x, y)) {
                ++inkOverBar;
                return c.overBar;
            }
            ++inkBeside;
            return RGB(0, 0, 0xFF);
        });
        EXPECT_GT(inkBeside, 0);
        if (c.barWidth) {
            EXPECT_GT(inkOverBar, 0);
        }
    }
}

TEST_F(ProgressTest, SkinsDrawTheBackgroundAndTheCentredBar)
{
    TestLayout layout(R"(<body>
        <progress id="1" bgskin="stripbar" posskin="horzbar" width="100" max="100" value="50"/>
    </body>)",
                      110, 20);
    auto& progress = static_cast<CSkProgress&>(*layout.Item(1));
    // The background skin's height.
    EXPECT_EQ((RECT{0, 0, 100, 8}), progress.m_rect);
    ItemCanvas canvas(110, 20);
    canvas.Draw(progress);
    // Bar: 2 in from the sides, the bar skin's 6 rows centred in 8, 48 of 96 wide:
    // {2, 1, 50, 7}, its left cap 3 columns, its right cap 6.
    ExpectPixels(canvas, [](int x, int y) -> std::optional<COLORREF> {
        if (x >= 2 && x < 50 && y >= 1 && y < 7) {
            const int bx = x - 2;
            const int column = bx < 3 ? bx : (bx >= 42 ? bx - 42 + 4 : 3);
            return HorzPixel(column, y - 1);
        }
        if (x < 100 && y < 8) {
            // Background: left cap 3 columns, right cap the last 68 of 72.
            const int column = x < 3 ? x : (x >= 32 ? x - 32 + 4 : 3);
            return StripPixel(column, y);
        }
        return kBack;
    });

    // Unknown skins leave the plain shapes.
    EXPECT_EQ(S_OK, progress.ApplyAttribute("posskin", "nosuchskin", FALSE));
    EXPECT_EQ(nullptr, progress.m_posSkin);
    EXPECT_EQ(E_FAIL, progress.ApplyAttribute("barskin", "horzbar", FALSE));
}
