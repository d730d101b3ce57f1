// Rich text: line breaks, wrapping inside words, nested formats and colours,
// link runs with their hover, press and click, compared with the same texts
// drawn piece by piece with TextOutW where each piece must go.
#include "TestLayout.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/DibCanvas.h"
#include "NotifyLog.h"
#include "SkinDialogFixture.h"
#include "skin/SkFontPool.h"
#include "skin/SkRichText.h"

namespace {

const int kX = 3, kY = 2, kSpacing = 4, kLine = 18; // style "rich"
const COLORREF kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0), kBlack = RGB(0, 0, 0);

void LoadRichStyles()
{
    SkStylePool::Instance().LoadXml(R"(<style>
        <class name="rich" x-margin="3" y-margin="2" spacing="4" linespacing="18"/>
        <class name="richlink" crtext="0000FF" crhover="FF0000" font="0002" hoverfont="0006"/>
    </style>)");
}

HFONT Font(WORD code)
{
    return SkFontPool::Instance().FontForStyle(code);
}

SIZE Extent(const wchar_t* text, WORD font)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font(font));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}

int Width(const wchar_t* text, WORD font = 0)
{
    return Extent(text, font).cx;
}

struct Piece {
    const wchar_t* text;
    int x, y;
    WORD font;
    COLORREF colour;
};

void PrepareDc(HDC dc)
{
    SetBkMode(dc, TRANSPARENT); // as the view draws
    SetTextColor(dc, kBlack);
}

void DrawPieces(HDC dc, const std::vector<Piece>& pieces, RECT clip)
{
    PrepareDc(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    for (const Piece& piece : pieces) {
        HGDIOBJ old = SelectObject(dc, Font(piece.font));
        SetTextColor(dc, piece.colour);
        TextOutW(dc, piece.x, piece.y, piece.text, lstrlenW(piece.text));
        SelectObject(dc, old);
    }
    SelectClipRgn(dc, nullptr);
}

// A body holding one rich text item (id 1) over the whole width x height.
std::string RichXml(const std::string& content, int width, int height, const char* attributes = "")
{
    return "<body><richtext id=\"1\" class=\"rich\" linkclass=\"richlink\" pos=\"0,0," +
           std::to_string(width) + "," + std::to_string(height) + "\" " + attributes + ">" + content +
           "</richtext></body>";
}

CSkRichText* Rich(TestLayout& layout)
{
    return static_cast<CSkRichText*>(layout.Item(1));
}

void Paint(CSkWindow* item, DibCanvas& canvas)
{
    PrepareDc(canvas.Dc());
    item->SendSkMessage(SKM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()));
}

LPARAM At(const RECT& rect)
{
    return MAKELPARAM(rect.left + 1, rect.top + 1);
}

class RichTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadRichStyles();
        NotifyLog().clear();
    }
};

} // namespace

TEST_F(RichTextTest, TextBreaksWrapsAndChangesFontAndColourWhereTheMarkupSays)
{
    const int ab = Width(L"ab"), xx = Width(L"xx");
    const int line2 = kY + kLine, line3 = kY + 2 * kLine;
    struct Case {
        const char* name;
        std::string content;
        int innerWidth;
        std::vector<Piece> pieces;
    };
    const Case cases[] = {
        {"br", "one<br/>two", 200, {{L"one", kX, kY, 0, kBlack}, {L"two", kX, line2, 0, kBlack}}},
        {"BR", "one<BR/>two", 200, {{L"one", kX, kY, 0, kBlack}, {L"two", kX, line2, 0, kBlack}}},
        {"wrap inside a word",
         "aaaaaaaaaa",
         Width(L"aaaaa"),
         {{L"aaaaa", kX, kY, 0, kBlack}, {L"aaaaa", kX, line2, 0, kBlack}}},
        {"wrap after earlier text",
         "xx<b>aaaa</b>",
         xx + kSpacing + Width(L"aa", 4),
         {{L"xx", kX, kY, 0, kBlack},
          {L"aa", kX + xx + kSpacing, kY, 4, kBlack},
          {L"aa", kX, line2, 4, kBlack}}},
        {"runs follow one another",
         "ab<b>cd</b>ef",
         200,
         {{L"ab", kX, kY, 0, kBlack},
          {L"cd", kX + ab + kSpacing, kY, 4, kBlack},
          {L"ef", kX + ab + kSpacing + Width(L"cd", 4) + kSpacing, kY, 0, kBlack}}},
        {"nesting adds up and closing restores",
         "<i>x<B>y<u>z</u></B></i>v",
         200,
         {{L"x", kX, kY, 1, kBlack},
          {L"y", kX + Width(L"x", 1) + kSpacing, kY, 5, kBlack},
          {L"z", kX + Width(L"x", 1) + Width(L"y", 5) + 2 * kSpacing, kY, 7, kBlack},
          {L"v", kX + Width(L"x", 1) + Width(L"y", 5) + Width(L"z", 7) + 3 * kSpacing, kY, 0, kBlack}}},
        {"colours, and a c without one",
         "<c color=\"FF0000\">r</c>s<C>t</C>",
         200,
         {{L"r", kX, kY, 0, kRed},
          {L"s", kX + Width(L"r") + kSpacing, kY, 0, kBlack},
          {L"t", kX + Width(L"r") + Width(L"s") + 2 * kSpacing, kY, 0, kBlack}}},
        {"a character wider than the line stands alone",
         "WWW",
         Width(L"W") - 1,
         {{L"W", kX, kY, 0, kBlack}, {L"W", kX, line2, 0, kBlack}, {L"W", kX, line3, 0, kBlack}}},
    };
    for (const Case& c : cases) {
        const int width = c.innerWidth + 2 * kX, height = 80;
        TestLayout layout(RichXml(c.content, width, height), width, height);
        ASSERT_NE(Rich(layout), nullptr) << c.name;
        DibCanvas drawn(width, height), expected(width, height);
        Paint(Rich(layout), drawn);
        DrawPieces(expected.Dc(), c.pieces, {kX, kY, width - kX, height - kY});
        EXPECT_EQ(DifferentPixels(drawn, expected), 0) << c.name;
        EXPECT_GT(drawn.CountOtherThan(RGB(1, 2, 3)), 0) << c.name;
    }
}

TEST_F(RichTextTest, ItemWithNoRoomAtAllStillEndsItsLayout)
{
    TestLayout layout(RichXml("WWW<b>WW</b>", 6, 40), 6, 40);
    DibCanvas canvas(6, 40);
    Paint(Rich(layout), canvas);
    EXPECT_TRUE(Rich(layout)->LaidOut());
}

// An empty link shows nothing but keeps its spacing, on the first paint
// (when the runs are made) and on every later one.
TEST_F(RichTextTest, AnEmptyLinkKeepsItsSpacing)
{
    for (const char* content : {"ab<a id=\"3\"/>cd", "ab<a></a>cd"}) {
        SCOPED_TRACE(content);
        TestLayout layout(RichXml(content, 200, 40), 200, 40);
        CSkRichText* rich = Rich(layout);
        DibCanvas expected(200, 40);
        DrawPieces(expected.Dc(),
                   {{L"ab", kX, kY, 0, kBlack}, {L"cd", kX + Width(L"ab") + 2 * kSpacing, kY, 0, kBlack}},
                   {kX, kY, 200 - kX, 40 - kY});
        for (const char* paint : {"first paint", "later paint"}) {
            DibCanvas drawn(200, 40);
            Paint(rich, drawn);
            EXPECT_EQ(DifferentPixels(drawn, expected), 0) << paint;
        }
        ASSERT_EQ(rich->Runs().size(), 1u);
        EXPECT_EQ(rich->Runs()[0].text, L"");
    }
}

TEST_F(RichTextTest, LinksAreWholeRunsInTheLinkStyleAndReportTheirIds)
{
    const int ab = Width(L"ab"), link = Width(L"link", 2), h = Extent(L"link", 2).cy;
    const int width = kX + ab + kSpacing + link + kSpacing + Width(L"free", 2) - 1 + kX, height = 60;
    // The second link does not fit after the first; the empty one and the
    // one without a text of its own are empty runs that show nothing.
    TestLayout layout(
        RichXml("ab<a id=\"7\">link</a><a>free</a><a id=\"8\"/><a id=\"9\"><b>x</b></a>", width, height),
        width, height);
    CSkRichText* rich = Rich(layout);
    EXPECT_TRUE(rich->Runs().empty());
    DibCanvas first(width, height);
    Paint(rich, first);
    ASSERT_EQ(rich->Runs().size(), 4u);
    EXPECT_EQ(rich->Runs()[0].linkId, 7);
    EXPECT_EQ(rich->Runs()[0].text, L"link");
    EXPECT_EQ(rich->Runs()[0].rect, (RECT{kX + ab + kSpacing, kY, kX + ab + kSpacing + link, kY + h}));
    EXPECT_EQ(rich->Runs()[1].linkId, 0);
    EXPECT_EQ(rich->Runs()[1].rect.left, kX);
    EXPECT_EQ(rich->Runs()[1].rect.top, kY + kLine);
    const int afterFree = kX + Width(L"free", 2) + kSpacing;
    EXPECT_EQ(rich->Runs()[2].linkId, 8);
    EXPECT_EQ(rich->Runs()[2].text, L"");
    EXPECT_EQ(rich->Runs()[2].rect.left, afterFree);
    EXPECT_EQ(rich->Runs()[2].rect.right, afterFree);
    EXPECT_EQ(rich->Runs()[3].linkId, 9);
    EXPECT_EQ(rich->Runs()[3].rect.left, afterFree + kSpacing);

    const RECT clip = {kX, kY, width - kX, height - kY};
    DibCanvas expected(width, height);
    DrawPieces(expected.Dc(),
               {{L"ab", kX, kY, 0, kBlack},
                {L"link", kX + ab + kSpacing, kY, 2, kBlue},
                {L"free", kX, kY + kLine, 2, kBlue}},
               clip);
    EXPECT_EQ(DifferentPixels(first, expected), 0);

    // Later paints draw the links from the runs, the hovered one in the
    // hover colour and font; a disabled item draws them in crdisabled.
    rich->SendSkMessage(SKM_MOUSEMOVE, 0, At(rich->Runs()[1].rect));
    DibCanvas hovered(width, height), expectedHover(width, height);
    Paint(rich, hovered);
    DrawPieces(expectedHover.Dc(),
               {{L"ab", kX, kY, 0, kBlack},
                {L"link", kX + ab + kSpacing, kY, 2, kBlue},
                {L"free", kX, kY + kLine, 6, kRed}},
               clip);
    EXPECT_EQ(DifferentPixels(hovered, expectedHover), 0);

    rich->SendSkMessage(SKM_MOUSELEAVE);
    layout.panel.m_state |= SKS_DISABLED;
    DibCanvas disabled(width, height), expectedDisabled(width, height);
    Paint(rich, disabled);
    DrawPieces(expectedDisabled.Dc(),
               {{L"ab", kX, kY, 0, kBlack},
                {L"link", kX + ab + kSpacing, kY, 2, 0xCCCCCC},
                {L"free", kX, kY + kLine, 2, 0xCCCCCC}},
               clip);
    EXPECT_EQ(DifferentPixels(disabled, expectedDisabled), 0);
}

// Hover, press and release as the view reports them to the item: only a
// press and a release on the same link click it, and every hover change
// repaints the runs it concerns.
TEST_F(RichTextTest, HoverPressAndReleaseOnLinks)
{
    LoggingHost host;
    TestLayout layout(RichXml("<a id=\"1\">first</a> <a id=\"2\">second</a>", 300, 40), 300, 40, host.View());
    CSkRichText* rich = Rich(layout);
    DibCanvas canvas(300, 40);
    Paint(rich, canvas);
    ASSERT_EQ(rich->Runs().size(), 2u);
    const RECT one = rich->Runs()[0].rect, two = rich->Runs()[1].rect;
    const LPARAM outside = MAKELPARAM(two.right + 5, two.top + 1);
    enum { None = -1 };
    struct Step {
        UINT msg;
        LPARAM at;
        std::vector<RECT> repaints;
        int hover, pressed;
        UINT clicked; // 0: no click
    };
    const Step steps[] = {
        {SKM_MOUSEMOVE, At(one), {one}, 0, None, 0},
        {SKM_MOUSEMOVE, At(one), {}, 0, None, 0},
        {SKM_MOUSEMOVE, At(two), {one, two}, 1, None, 0},
        {SKM_LBUTTONDOWN, At(two), {}, 1, 1, 0},
        {SKM_MOUSEMOVE, At(one), {two, one}, 0, 1, 0},
        {SKM_LBUTTONUP, At(one), {}, 0, None, 0}, // pressed on one link, released on another
        {SKM_LBUTTONDOWN, At(one), {}, 0, 0, 0},
        {SKM_LBUTTONUP, At(one), {}, 0, None, 1},
        {SKM_MOUSEMOVE, outside, {one}, None, None, 0},
        {SKM_LBUTTONDOWN, outside, {}, None, None, 0},
        {SKM_LBUTTONUP, outside, {}, None, None, 0},
        {SKM_MOUSEMOVE, At(two), {two}, 1, None, 0},
        {SKM_MOUSELEAVE, 0, {two}, None, None, 0},
        // Pressed on a link, dragged out and released elsewhere: the item
        // never hears of the release. A later press on the plain text and a
        // release on that link click nothing.
        {SKM_MOUSEMOVE, At(one), {one}, 0, None, 0},
        {SKM_LBUTTONDOWN, At(one), {}, 0, 0, 0},
        {SKM_MOUSELEAVE, 0, {one}, None, 0, 0},
        {SKM_MOUSEMOVE, outside, {}, None, 0, 0},
        {SKM_LBUTTONDOWN, outside, {}, None, None, 0},
        {SKM_MOUSEMOVE, At(one), {one}, 0, None, 0},
        {SKM_LBUTTONUP, At(one), {}, 0, None, 0},
        // A press finds its link by itself, without a move before it.
        {SKM_MOUSELEAVE, 0, {one}, None, None, 0},
        {SKM_LBUTTONDOWN, At(two), {two}, 1, 1, 0},
        {SKM_LBUTTONUP, At(two), {}, 1, None, 2},
    };
    int index = 0;
    for (const Step& step : steps) {
        NotifyLog().clear();
        rich->SendSkMessage(step.msg, 0, step.at);
        EXPECT_EQ(rich->HoverRun(), step.hover) << "step " << index;
        EXPECT_EQ(rich->PressedRun(), step.pressed) << "step " << index;
        std::vector<RECT> repaints;
        UINT clicked = 0;
        for (const LoggedNotify& sent : NotifyLog()) {
            if (sent.code == SKN_INVALIDATE_RECT) {
                EXPECT_EQ(sent.to, host.View());
                EXPECT_EQ(sent.value, rich->m_handle);
                repaints.push_back(sent.rect);
            } else if (sent.code == SKN_ITEM_CLICK) {
                EXPECT_EQ(sent.to, host.Parent());
                EXPECT_EQ(sent.from, host.View());
                EXPECT_EQ(sent.idFrom, IDC_SKIN_VIEW);
                EXPECT_EQ(sent.wParam, IDC_SKIN_VIEW);
                EXPECT_EQ(sent.itemClass, "richtext");
                clicked = sent.value;
            }
        }
        EXPECT_EQ(repaints, step.repaints) << "step " << index;
        EXPECT_EQ(clicked, step.clicked) << "step " << index;
        ++index;
    }
}

TEST_F(RichTextTest, TheCursorIsAHandOverALink)
{
    TestLayout layout(RichXml("<a id=\"1\">first</a>", 300, 40), 300, 40);
    CSkRichText* rich = Rich(layout);
    DibCanvas canvas(300, 40);
    Paint(rich, canvas);
    rich->SendSkMessage(SKM_MOUSEMOVE, 0, At(rich->Runs()[0].rect));
    rich->UpdateCursor();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    rich->SendSkMessage(SKM_MOUSELEAVE);
    rich->UpdateCursor();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

// Placing the item again lays it out anew: no run, hover or press of the
// old layout survives, so a release after it clicks nothing.
TEST_F(RichTextTest, PlacingAgainForgetsTheRunsTheHoverAndThePress)
{
    LoggingHost host;
    TestLayout layout(RichXml("<a id=\"5\">first</a>", 300, 40), 300, 40, host.View());
    CSkRichText* rich = Rich(layout);
    DibCanvas canvas(300, 40);
    Paint(rich, canvas);
    const RECT one = rich->Runs()[0].rect;
    rich->SendSkMessage(SKM_MOUSEMOVE, 0, At(one));
    rich->SendSkMessage(SKM_LBUTTONDOWN, 0, At(one));
    ASSERT_EQ(rich->PressedRun(), 0);

    layout.Place(300, 40);
    EXPECT_TRUE(rich->Runs().empty());
    EXPECT_FALSE(rich->LaidOut());
    EXPECT_EQ(rich->HoverRun(), -1);
    EXPECT_EQ(rich->PressedRun(), -1);

    Paint(rich, canvas);
    rich->SendSkMessage(SKM_MOUSEMOVE, 0, At(one));
    NotifyLog().clear();
    rich->SendSkMessage(SKM_LBUTTONUP, 0, At(one));
    for (const LoggedNotify& sent : NotifyLog())
        EXPECT_NE(sent.code, SKN_ITEM_CLICK);
}

TEST_F(RichTextTest, DefaultFontIsAHexadecimalCode)
{
    struct Case {
        const char* value;
        int code;
    };
    for (const Case& c : {Case{"4", 4}, Case{"0104", 0x104}, Case{"1F", 0x1F}, Case{"4z", 0}, Case{"", 0}}) {
        const std::string attribute = std::string("defaultfont=\"") + c.value + "\"";
        TestLayout layout(RichXml("ab", 100, 30, attribute.c_str()), 100, 30);
        EXPECT_EQ(Rich(layout)->DefaultFont(), c.code) << c.value;
    }
    TestLayout bold(RichXml("ab<i>c</i>", 100, 30, "defaultfont=\"4\""), 100, 30);
    DibCanvas drawn(100, 30), expected(100, 30);
    Paint(Rich(bold), drawn);
    DrawPieces(expected.Dc(),
               {{L"ab", kX, kY, 4, kBlack}, {L"c", kX + Width(L"ab", 4) + kSpacing, kY, 5, kBlack}},
               {kX, kY, 100 - kX, 30 - kY});
    EXPECT_EQ(DifferentPixels(drawn, expected), 0);
    EXPECT_EQ(Rich(bold)->ApplyAttribute("linkclass", "nosuchstyle", FALSE), S_FALSE);
    EXPECT_EQ(Rich(bold)->LinkStyle().crtext, CLR_INVALID);
}

// In a real view: a click on a link reports the link's id, then the view
// reports the click on the item itself when it has an id of its own; a
// press and a release on different links report only the item.
TEST_F(RichTextTest, ThroughTheViewALinkClickReportsTheLinkThenTheItem)
{
    CTestDialog dialog;
    ASSERT_TRUE(dialog.m_view.SetLayoutXml(R"(<layer width="300" height="200"><body>
        <richtext id="31" class="rich" linkclass="richlink" pos="0,0,300,60"><a id="1">first</a> <a id="2">second</a></richtext>
        <richtext class="rich" linkclass="richlink" pos="0,100,300,160">see <a id="5">this</a></richtext>
    </body></layer>)"));
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND view = dialog.m_view.m_hWnd;
    DibCanvas canvas(300, 200);
    SendMessageW(view, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT); // lays the links out
    auto* withId = static_cast<CSkRichText*>(dialog.m_view.FindItem(31));
    ASSERT_EQ(withId->Runs().size(), 2u);
    const RECT first = withId->Runs()[0].rect, second = withId->Runs()[1].rect;
    auto* withoutId = static_cast<CSkRichText*>(dialog.m_view.m_body.Children()[1].get());
    ASSERT_EQ(withoutId->Runs().size(), 1u);
    const RECT third = withoutId->Runs()[0].rect;

    struct Step {
        RECT press, release;
        std::vector<UINT> clicks;
    };
    const Step steps[] = {
        {first, first, {1, 31}},
        {second, second, {2, 31}},
        {first, second, {31}},
        {third, third, {5}},
    };
    for (const Step& step : steps) {
        dialog.notifications.clear();
        Press(view, step.press.left + 1, step.press.top + 1);
        MouseMove(view, step.release.left + 1, step.release.top + 1, MK_LBUTTON);
        Release(view, step.release.left + 1, step.release.top + 1);
        std::vector<UINT> clicks;
        for (const NotifyRecord& click : dialog.Clicks()) {
            clicks.push_back(click.itemId);
            EXPECT_EQ(click.itemClass, "richtext");
            EXPECT_EQ(click.from, view);
            EXPECT_EQ(click.idFrom, IDC_SKIN_VIEW);
        }
        EXPECT_EQ(clicks, step.clicks) << step.press.left << " to " << step.release.left;
    }
    DestroyWindow(dialog.m_hWnd);
}
