#include "TestLayout.h"

#include <gtest/gtest.h>

#include "tests/support/DibCanvas.h"
#include "skin/SkAppliedTextStyle.h"
#include "skin/SkFontPool.h"
#include "skin/SkItemFactory.h"
#include "skin/SkItemRegistry.h"
#include "skin/SkString.h"

namespace {

// What DrawText measures for a text in the default skin font.
SIZE DefaultFontTextSize(const wchar_t* text, UINT format = DT_SINGLELINE, int width = 0)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, SkFontPool::Instance().FontForStyle(0));
    RECT rect = {0, 0, width, format & DT_WORDBREAK ? 0x7FFF : 0};
    DrawTextW(dc, text, -1, &rect, format | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

class SkWindowTest : public ::testing::Test {
protected:
    void SetUp() override { LoadTestStyles(); }
};

} // namespace

TEST_F(SkWindowTest, PosRulesPlaceItemsInsideTheMargins)
{
    // A 400 x 300 panel with margins 4 and 5: inner rectangle {4, 5, 396, 295}.
    TestLayout layout(R"(<body class="margins">
        <text id="1" pos="10,20">Hello</text>
        <text id="2" pos="-41,0">Hello</text>
        <text id="3" pos="|-50,0,|50,-0">Hello</text>
        <text id="4" pos="0,0"/>
        <text id="5" pos="1,2,3" width="30" height="40"/>
        <text id="6" pos="1,2,3,4,5"/>
        <text id="7" pos="5,5" width="full">Hello</text>
        <text id="8" width="full" height="12"/>
        <text id="9" pos="0,-0,-0,-0"/>
    </body>)");
    const SIZE hello = DefaultFontTextSize(L"Hello");
    const SIZE empty = DefaultFontTextSize(L"");
    struct Case {
        UINT id;
        RECT rect;
    };
    const Case cases[] = {
        {1, {14, 25, 14 + hello.cx, 25 + hello.cy}},
        {2, {355, 5, 355 + hello.cx, 5 + hello.cy}},
        {3, {150, 5, 250, 295}},
        {4, {4, 5, 4 + empty.cx, 5 + empty.cy}},
        // Three items drop the rule, but the first two still give the top-left.
        {5, {5, 7, 35, 47}},
        // Five items: the first four count.
        {6, {5, 7, 7, 9}},
        // "full" is ignored beside a valid pos.
        {7, {9, 10, 9 + hello.cx, 10 + hello.cy}},
        // Without pos, "full" spans the inner width from the inner left.
        {8, {4, 5, 396, 17}},
        {9, {4, 295, 396, 295}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.rect, layout.RectOf(c.id)) << "item " << c.id;

    EXPECT_EQ(0, layout.Item(5)->m_posCount);
    EXPECT_EQ(4, layout.Item(6)->m_posCount);
    EXPECT_EQ(4, layout.Item(6)->m_pos[3].value);
    EXPECT_EQ(SKL_WIDTH_AUTO | SKL_HEIGHT_AUTO, layout.Item(7)->m_layoutFlags);
    EXPECT_EQ(SKL_WIDTH_FIXED | SKL_HEIGHT_FIXED | SKL_NOT_FLOATING, layout.Item(5)->m_layoutFlags);
}

TEST_F(SkWindowTest, PosReadsCentreAndEndMarksPerItem)
{
    CSkWindow* item = nullptr;
    auto owner = CreateSkinItem("text");
    item = owner.get();
    item->ParsePos("|-7,-8,|9,x", TRUE);
    EXPECT_EQ(4, item->m_posCount);
    EXPECT_TRUE(item->m_pos[0].fromCentre && item->m_pos[0].fromEnd);
    EXPECT_EQ(7, item->m_pos[0].value);
    EXPECT_TRUE(!item->m_pos[1].fromCentre && item->m_pos[1].fromEnd);
    EXPECT_TRUE(item->m_pos[2].fromCentre && !item->m_pos[2].fromEnd);
    EXPECT_EQ(0, item->m_pos[3].value);
    // An empty value changes nothing.
    item->ParsePos("", TRUE);
    EXPECT_EQ(4, item->m_posCount);

    struct Case {
        SkPosItem pos;
        int lo, hi, expected;
    };
    const Case cases[] = {
        {{FALSE, FALSE, 10}, 4, 396, 14}, {{FALSE, TRUE, 41}, 4, 396, 355}, {{TRUE, TRUE, 50}, 4, 397, 150},
        {{TRUE, FALSE, 50}, 4, 397, 250}, {{FALSE, TRUE, 0}, 0, 30, 30},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ResolvePos(c.pos, c.lo, c.hi));
}

TEST_F(SkWindowTest, PosSetAtRunTimeMovesTheItemInItsPanel)
{
    TestLayout layout(R"(<body><text id="1" pos="0,0" width="20" height="10">x</text></body>)");
    CSkWindow* item = layout.Item(1);
    const LONG width = item->m_rect.right - item->m_rect.left;
    EXPECT_EQ(S_FALSE, item->ApplyAttribute("pos", "30,40", FALSE));
    EXPECT_EQ(30, item->m_rect.left);
    EXPECT_EQ(40, item->m_rect.top);
    EXPECT_EQ(width, item->m_rect.right - item->m_rect.left);
}

TEST_F(SkWindowTest, SizesComeFromWidthHeightAndTheText)
{
    TestLayout layout(R"(<body>
        <text id="1">拉沃工坊</text>
        <text id="2" class="margins">拉沃工坊</text>
        <text id="3" width="50">拉沃工坊</text>
        <text id="4" height="-3" width="abc">拉沃工坊</text>
    </body>)");
    const SIZE text = DefaultFontTextSize(L"拉沃工坊");
    EXPECT_EQ((RECT{0, 0, text.cx, text.cy}), layout.RectOf(1));
    EXPECT_EQ((RECT{0, 0, text.cx + 8, text.cy + 10}), layout.RectOf(2));
    EXPECT_EQ((RECT{0, 0, 50, text.cy}), layout.RectOf(3));
    EXPECT_EQ((RECT{0, 0, text.cx, text.cy}), layout.RectOf(4));
    EXPECT_EQ(SKL_WIDTH_AUTO | SKL_HEIGHT_AUTO | SKL_NOT_FLOATING, layout.Item(4)->m_layoutFlags);
}

TEST_F(SkWindowTest, WordBreakingTextWrapsInTheSpaceItIsGiven)
{
    const wchar_t* words = L"one two three four five six seven eight nine ten";
    TestLayout layout(
        R"(<body><text id="1" class="wrapping" pos="0,0">one two three four five six seven eight nine ten</text></body>)",
        80, 300);
    const SIZE wrapped = DefaultFontTextSize(words, DT_WORDBREAK, 80);
    const SIZE line = DefaultFontTextSize(words, DT_SINGLELINE);
    EXPECT_EQ((RECT{0, 0, wrapped.cx, wrapped.cy}), layout.RectOf(1));
    EXPECT_GT(wrapped.cy, line.cy);
}

TEST_F(SkWindowTest, AttributesApplyInDocumentOrder)
{
    TestLayout layout(R"(<body>
        <text id="1" crbg="00FF00" class="blue"/>
        <text id="2" class="blue" crbg="00FF00"/>
        <text id="3" class="nosuchclass" crtext="010203" valign="middle" align="right" transparent="1"
              href="http://127.0.0.1/页" tip="提示" bogus="1" valign="sideways"/>
    </body>)");
    EXPECT_EQ(RGB(0, 0, 0xFF), layout.Item(1)->m_style.crbg);
    EXPECT_EQ(RGB(0, 0xFF, 0), layout.Item(2)->m_style.crbg);
    CSkWindow* item = layout.Item(3);
    EXPECT_EQ(RGB(1, 2, 3), item->m_style.crtext);
    EXPECT_EQ(CLR_INVALID, item->m_style.crbg);
    EXPECT_EQ(SKA_MIDDLE, item->m_valign);
    EXPECT_EQ(SKA_RIGHT, item->m_align);
    EXPECT_EQ(1, item->m_transparent);
    EXPECT_STREQ(L"http://127.0.0.1/页", item->m_href);
    EXPECT_STREQ(L"提示", item->m_tip);

    struct Case {
        const char* name;
        const char* value;
        HRESULT result;
    };
    const Case cases[] = {
        {"class", "blue", S_OK},       {"id", "12", S_FALSE},       {"crbg", "112233", S_FALSE},
        {"font", "0004", S_FALSE},     {"valign", "top", S_OK},     {"valign", "up", E_FAIL},
        {"align", "center", S_OK},     {"align", "middle", E_FAIL}, {"pos", "1,2", S_FALSE},
        {"transparent", "0", S_FALSE}, {"show", "1", E_FAIL},       {"nonsense", "", E_FAIL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, item->ApplyAttribute(c.name, c.value, TRUE)) << c.name << "=" << c.value;
    EXPECT_EQ(12u, item->m_id);
    EXPECT_EQ(SkFontPool::Instance().FontForStyle(4), item->m_style.font);
}

TEST_F(SkWindowTest, ShowAttributeAndFloat)
{
    TestLayout layout(R"(<body>
        <text id="1" show="0"/>
        <text id="2" show="1"/>
        <text id="3" show=""/>
        <text id="4" float="1"/>
    </body>)");
    EXPECT_TRUE(layout.Item(1)->m_state & SKS_HIDDEN);
    EXPECT_FALSE(layout.Item(2)->m_state & SKS_HIDDEN);
    EXPECT_FALSE(layout.Item(3)->m_state & SKS_HIDDEN);
    EXPECT_TRUE(layout.Item(4)->m_layoutFlags & SKL_FLOATING);
    EXPECT_TRUE(layout.Item(3)->m_layoutFlags & SKL_NOT_FLOATING);
}

TEST_F(SkWindowTest, SkinStringPlaceholdersAreReplaced)
{
    ASSERT_TRUE(SkString::Instance().LoadXml(R"(<string>
        <s id="9001">拉沃</s>
        <s id="9002">[%str9001%]</s>
        <s id="9003">%str9003%</s>
    </string>)"));
    struct Case {
        const char* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"A%str9001%B", L"A拉沃B"},
        {"%str9001%%str9001%", L"拉沃拉沃"},
        {"%str9002%!", L"[%str9001%]!"},            // inserted text is not searched again
        {"%str9003%-%str9001%", L"%str9003%-拉沃"}, // a string holding its own placeholder
        {"x%str0%y%str9001%", L"x%str0%y%str9001%"},
        {"%strz%%str9001%", L"%strz%%str9001%"},
        {"a%str9001", L"a%str9001"},
        {"(%str8999%)", L"()"},
    };
    for (const Case& c : cases) {
        TestLayout layout(std::string("<body><text id=\"1\">") + c.text + "</text></body>");
        EXPECT_STREQ(c.expected, layout.Item(1)->m_text) << c.text;
    }
}

TEST_F(SkWindowTest, TextColourFollowsStateAndDisabledAncestors)
{
    TestLayout layout(R"(<body>
        <dlg id="10" pos="0,0,100,100"><text id="1" class="hovering" pos="0,0">x</text></dlg>
    </body>)");
    DibCanvas canvas(10, 10);
    CSkWindow* item = layout.Item(1);
    const COLORREF before = SetTextColor(canvas.Dc(), RGB(9, 9, 9));
    (void)before;
    auto colourWhileApplied = [&] {
        CSkAppliedTextStyle applied(*item, canvas.Dc());
        return GetTextColor(canvas.Dc());
    };
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), colourWhileApplied());
    item->m_state |= SKS_HOVER;
    EXPECT_EQ(RGB(0x40, 0x50, 0x60), colourWhileApplied());
    item->m_state &= ~SKS_HOVER;
    layout.Item(10)->m_state |= SKS_DISABLED;
    EXPECT_EQ(RGB(0x70, 0x80, 0x90), colourWhileApplied());
    EXPECT_EQ(RGB(9, 9, 9), GetTextColor(canvas.Dc())); // put back afterwards
}

TEST_F(SkWindowTest, BackgroundAndTextAreDrawnIntoTheRegion)
{
    TestLayout layout(R"(<body><text id="1" class="blue" pos="2,2,-2,-2">WWW</text></body>)", 20, 20);
    CSkWindow* item = layout.Item(1);
    DibCanvas canvas(20, 20, RGB(1, 2, 3));
    HRGN elsewhere = CreateRectRgn(0, 0, 1, 1);
    EXPECT_FALSE(item->DrawInRegion(canvas.Dc(), elsewhere));
    EXPECT_EQ(0, canvas.CountOtherThan(RGB(1, 2, 3)));
    DeleteObject(elsewhere);

    EXPECT_TRUE(item->DrawInRegion(canvas.Dc(), nullptr));
    EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(1, 1));
    EXPECT_EQ(RGB(0, 0, 0xFF), canvas.Pixel(2, 2));
    EXPECT_EQ(RGB(0, 0, 0xFF), canvas.Pixel(17, 2));
    EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(18, 18));
    int white = 0;
    for (int y = 2; y < 18; ++y)
        for (int x = 2; x < 18; ++x)
            white += canvas.Pixel(x, y) == RGB(0xFF, 0xFF, 0xFF);
    EXPECT_GT(white, 0); // the text in crtext
}

TEST_F(SkWindowTest, RedrawOnStateChangeFollowsHoverSettings)
{
    TestLayout layout(R"(<body><text id="1"/><text id="2" class="hovering"/><button id="3"/></body>)");
    EXPECT_FALSE(layout.Item(1)->RedrawsOnStateChange());
    EXPECT_TRUE(layout.Item(2)->RedrawsOnStateChange());
    EXPECT_TRUE(layout.Item(3)->RedrawsOnStateChange());
}

TEST(SkItemRegistry, HandlesAreNewAndGoneItemsAreNotFound)
{
    auto first = CreateSkinItem("text");
    auto second = CreateSkinItem("text");
    ASSERT_TRUE(first && second);
    EXPECT_NE(0u, first->m_handle);
    EXPECT_EQ(first->m_handle + 1, second->m_handle);
    EXPECT_EQ(first.get(), FindSkWindow(first->m_handle));
    const UINT gone = first->m_handle;
    first.reset();
    EXPECT_EQ(nullptr, FindSkWindow(gone));
    EXPECT_EQ(second.get(), FindSkWindow(second->m_handle));
    EXPECT_EQ(nullptr, FindSkWindow(0));
}

TEST(SkItemRegistry, MessagesSetTheHandledFlag)
{
    auto item = CreateSkinItem("text");
    EXPECT_EQ(1, item->SendSkMessage(SKM_CREATE));
    EXPECT_TRUE(item->m_handled);
    EXPECT_EQ(0, item->SendSkMessage(SKM_LBUTTONDOWN));
    EXPECT_FALSE(item->m_handled);
    item->SendSkMessage(SKM_SHOW, FALSE);
    EXPECT_TRUE(item->m_state & SKS_HIDDEN);
    item->SendSkMessage(SKM_SHOW, TRUE);
    EXPECT_FALSE(item->m_state & SKS_HIDDEN);
}
