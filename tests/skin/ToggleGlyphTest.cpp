// The glyphs of check and radio boxes, compared with what the theme library
// (when it is in the process) or DrawFrameControl draws for the expected
// state at the expected place, and the text beside them. Built into two
// programs: one with uxtheme.dll loaded before the skin library binds it,
// one without.
#include "TestLayout.h"

#include <gtest/gtest.h>

#include <vsstyle.h>

#include <cstring>

#include "tests/support/DibCanvas.h"
#include "skin/SkToggleBox.h"
#include "skin/UxThemeApi.h"

namespace {

const COLORREF kDisabledText = 0xCCCCCC;

struct GlyphCase {
    const char* tag;
    int height;
    UINT state;
    bool disabledPanel;
    int themedState;
    UINT frameFlags;
    RECT glyph;
};

// Draws what a box of the case must show: its glyph and "Ab" at the text
// offset, centred vertically on one line.
void DrawExpected(HDC dc, const GlyphCase& c, int width)
{
    const bool check = std::strcmp(c.tag, "check") == 0;
    RECT glyph = c.glyph;
    const UxThemeApi& api = UxThemeApi::Instance();
    HTHEME theme = nullptr;
    if (OpenButtonTheme(theme)) {
        api.drawThemeBackground(theme, dc, check ? BP_CHECKBOX : BP_RADIOBUTTON, c.themedState, &glyph,
                                nullptr);
        api.closeThemeData(theme);
    } else {
        DrawFrameControl(dc, &glyph, DFC_BUTTON, c.frameFlags);
    }
    const bool disabled = (c.state & SKS_DISABLED) || c.disabledPanel;
    const COLORREF old = SetTextColor(dc, disabled ? kDisabledText : GetTextColor(dc));
    RECT text = {check ? 17 : 14, 0, width, c.height};
    DrawTextW(dc, L"Ab", -1, &text, DT_SINGLELINE | DT_VCENTER);
    SetTextColor(dc, old);
}

class ToggleGlyphTest : public ::testing::Test {
protected:
    void SetUp() override { LoadTestStyles(); }
};

} // namespace

TEST_F(ToggleGlyphTest, GlyphFollowsTheStateAtItsPlaceAndTheTextFollowsIt)
{
    const UINT check = DFCS_BUTTONCHECK | DFCS_TRANSPARENT;
    const UINT radio = DFCS_BUTTONRADIO | DFCS_TRANSPARENT;
    const GlyphCase cases[] = {
        {"check", 20, 0, false, 1, check, {0, 0, 13, 20}},
        {"check", 20, SKS_CHECKED, false, 5, check | DFCS_CHECKED, {0, 0, 13, 20}},
        {"check",
         20,
         SKS_CHECKED | SKS_DISABLED,
         false,
         8,
         check | DFCS_CHECKED | DFCS_INACTIVE,
         {0, 0, 13, 20}},
        {"check", 20, SKS_CHECKED, true, 8, check | DFCS_CHECKED | DFCS_INACTIVE, {0, 0, 13, 20}},
        {"check", 20, SKS_HOVER, false, 2, check | DFCS_HOT, {0, 0, 13, 20}},
        {"check",
         20,
         SKS_CHECKED | SKS_PUSHED | SKS_HOVER,
         false,
         7,
         check | DFCS_CHECKED | DFCS_PUSHED | DFCS_HOT,
         {0, 0, 13, 20}},
        {"check", 14, SKS_PUSHED, false, 3, check | DFCS_PUSHED, {0, 0, 13, 14}},
        {"radio", 20, 0, false, 1, radio, {0, 4, 12, 16}},
        {"radio", 20, SKS_CHECKED | SKS_HOVER, false, 6, radio | DFCS_CHECKED | DFCS_HOT, {0, 4, 12, 16}},
        {"radio", 20, SKS_PUSHED, false, 3, radio | DFCS_PUSHED, {0, 4, 12, 16}},
        {"radio", 20, SKS_DISABLED, false, 4, radio | DFCS_INACTIVE, {0, 4, 12, 16}},
        {"radio", 15, SKS_CHECKED, false, 5, radio | DFCS_CHECKED, {0, 1, 12, 13}},
    };
    const int width = 60;
    for (const GlyphCase& c : cases) {
        char xml[200];
        wsprintfA(xml, "<body><%s id=\"1\" pos=\"0,0,%d,%d\" group=\"glyphs\">Ab</%s></body>", c.tag, width,
                  c.height, c.tag);
        TestLayout layout(xml, width, c.height);
        auto* box = static_cast<CSkToggleBox*>(layout.Item(1));
        ASSERT_NE(box, nullptr);
        box->m_state |= c.state;
        if (c.disabledPanel)
            layout.panel.m_state |= SKS_DISABLED;
        EXPECT_EQ(box->GlyphRect(), c.glyph);

        DibCanvas drawn(width, c.height), expected(width, c.height);
        box->SendSkMessage(SKM_PAINT, reinterpret_cast<WPARAM>(drawn.Dc()));
        DrawExpected(expected.Dc(), c, width);
        EXPECT_EQ(DifferentPixels(drawn, expected), 0)
            << c.tag << " state " << c.state << " height " << c.height;
        EXPECT_EQ(box->Theme() != nullptr, UxThemeApi::Instance().openThemeData != nullptr);
    }
}

TEST_F(ToggleGlyphTest, CheckedAndUncheckedGlyphsDiffer)
{
    for (const char* tag : {"check", "radio"}) {
        char xml[160];
        wsprintfA(xml, "<body><%s id=\"1\" pos=\"0,0,20,20\" group=\"glyphs\"/></body>", tag);
        TestLayout layout(xml, 20, 20);
        CSkWindow* box = layout.Item(1);
        DibCanvas unchecked(20, 20), checked(20, 20);
        box->SendSkMessage(SKM_PAINT, reinterpret_cast<WPARAM>(unchecked.Dc()));
        box->m_state |= SKS_CHECKED;
        box->SendSkMessage(SKM_PAINT, reinterpret_cast<WPARAM>(checked.Dc()));
        EXPECT_GT(DifferentPixels(unchecked, checked), 0) << tag;
    }
}

// The text format change is written into the box's own style at each paint
// and stays there.
TEST_F(ToggleGlyphTest, PaintingCentresTheTextForGood)
{
    struct Case {
        const char* xml;
        UINT before, after;
    };
    const Case cases[] = {
        {R"(<body><check id="1" pos="0,0,60,20">Ab</check></body>)", 0x28, 0x24},
        {R"(<body><check id="1" pos="0,0,60,20" class="wrapping">Ab</check></body>)", 0x10, 0x14},
        {R"(<body><radio id="1" pos="0,0,60,20" group="glyphs">Ab</radio></body>)", 0x28, 0x24},
        {R"(<body><radio id="1" pos="0,0,60,20" class="wrapping" group="glyphs">Ab</radio></body>)", 0x10,
         0x34},
    };
    for (const Case& c : cases) {
        TestLayout layout(c.xml, 60, 20);
        CSkWindow* box = layout.Item(1);
        EXPECT_EQ(box->m_style.textmode, c.before) << c.xml;
        const RECT placed = box->m_rect;
        DibCanvas canvas(60, 20);
        box->SendSkMessage(SKM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()));
        EXPECT_EQ(box->m_style.textmode, c.after) << c.xml;
        EXPECT_EQ(box->m_rect, placed) << "the text offset is taken back";
    }
}
