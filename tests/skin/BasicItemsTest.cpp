#include "ItemHost.h"
#include "ItemTestSupport.h"
#include "TestLayout.h"

#include <gtest/gtest.h>

#include "skin/SkButton.h"
#include "skin/SkDialogFile.h"
#include "skin/SkIconWnd.h"
#include "skin/SkImageBtnWnd.h"
#include "skin/SkImageWnd.h"
#include "skin/SkItemFactory.h"
#include "skin/SkItemRepaint.h"
#include "skin/SkLine.h"
#include "skin/SkLink.h"
#include "skin/SkProgress.h"
#include "skin/SkRealWnd.h"
#include "skin/SkStatic.h"
#include "skin/SkTabCtrl.h"

using test_images::HorzPixel;

namespace {

class BasicItemsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadItemSkins();
        LoadItemStyles();
    }
};

SIZE TextSize(const wchar_t* text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, DefaultSkinFont());
    RECT rect = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &rect, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The 16 x 16 and 32 x 32 images of pattern.ico (make_item_icons.py).
COLORREF IconPixel(int size, int x, int y)
{
    return RGB(size == 16 ? 200 : 40, x * 7, y * 7);
}

const int kPatternIcon = 7001;

} // namespace

TEST_F(BasicItemsTest, FactoryMakesEveryBasicItemClass)
{
    struct Case {
        const char* tag;
        bool container;
        bool handlesClicks;
        bool isExpectedClass;
    };
    const Case cases[] = {
        {"dlgfile", true, false, dynamic_cast<CSkDialogFile*>(CreateSkinItem("dlgfile").get()) != nullptr},
        {"text", false, false, dynamic_cast<CSkStatic*>(CreateSkinItem("text").get()) != nullptr},
        {"button", false, true, dynamic_cast<CSkButton*>(CreateSkinItem("button").get()) != nullptr},
        {"img", false, false, dynamic_cast<CSkImageWnd*>(CreateSkinItem("img").get()) != nullptr},
        {"progress", false, false, dynamic_cast<CSkProgress*>(CreateSkinItem("progress").get()) != nullptr},
        {"imgbtn", false, true, dynamic_cast<CSkImageBtnWnd*>(CreateSkinItem("imgbtn").get()) != nullptr},
        {"realwnd", false, false, dynamic_cast<CSkRealWnd*>(CreateSkinItem("realwnd").get()) != nullptr},
        {"hr", false, false, dynamic_cast<CSkLine*>(CreateSkinItem("hr").get()) != nullptr},
        {"icon", false, false, dynamic_cast<CSkIconWnd*>(CreateSkinItem("icon").get()) != nullptr},
        {"tabctrl", true, true, dynamic_cast<CSkTabCtrl*>(CreateSkinItem("tabctrl").get()) != nullptr},
        {"link", false, true, dynamic_cast<CSkLink*>(CreateSkinItem("link").get()) != nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        auto item = CreateSkinItem(c.tag);
        ASSERT_TRUE(item);
        EXPECT_TRUE(c.isExpectedClass);
        EXPECT_STREQ(c.tag, item->TagName());
        EXPECT_TRUE(item->MatchesTag(c.tag));
        EXPECT_EQ(c.container, item->IsContainer() != FALSE);
        EXPECT_EQ(c.handlesClicks, item->HandlesClicks() != FALSE);
    }
    // The "img" tag is not a prefix match of "imgbtn", nor "tab" a tag at all.
    EXPECT_STREQ("imgbtn", CreateSkinItem("imgbtn")->TagName());
    EXPECT_EQ(nullptr, CreateSkinItem("tab"));

    // Buttons always repaint on hover and press, real windows never.
    EXPECT_TRUE(CreateSkinItem("button")->RedrawsOnStateChange());
    EXPECT_TRUE(CreateSkinItem("imgbtn")->RedrawsOnStateChange());
    EXPECT_FALSE(CreateSkinItem("text")->RedrawsOnStateChange());
    auto real = CreateSkinItem("realwnd");
    real->ApplyAttribute("class", "linktext", TRUE);
    EXPECT_FALSE(real->RedrawsOnStateChange());
    auto text = CreateSkinItem("text");
    text->ApplyAttribute("class", "linktext", TRUE);
    EXPECT_TRUE(text->RedrawsOnStateChange());
}

TEST_F(BasicItemsTest, SetTextMeasuresAutoSizedItemsAgain)
{
    TestLayout layout(R"(<body>
        <text id="1" pos="10,20">Hi</text>
        <text id="2" width="50">Hi</text>
        <text id="3" pos="5,5,25,15">Hi</text>
        <text id="4" width="60" height="30">Hi</text>
    </body>)");
    const SIZE longer = TextSize(L"A longer text");
    const SIZE empty = TextSize(L"");

    layout.Item(1)->SetText(L"A longer text");
    EXPECT_EQ((RECT{10, 20, 10 + longer.cx, 20 + longer.cy}), layout.RectOf(1));
    EXPECT_STREQ(L"A longer text", layout.Item(1)->m_text.GetString());
    layout.Item(1)->SetText(nullptr);
    EXPECT_TRUE(layout.Item(1)->m_text.IsEmpty());
    EXPECT_EQ((RECT{10, 20, 10 + empty.cx, 20 + empty.cy}), layout.RectOf(1));

    // A fixed width stays; only the auto height follows the text.
    const RECT before = layout.RectOf(2);
    layout.Item(2)->SetText(L"A longer text");
    EXPECT_EQ((RECT{before.left, before.top, before.left + 50, before.top + longer.cy}), layout.RectOf(2));

    // A four-item pos and fixed sizes keep the rectangle.
    for (UINT id : {3u, 4u}) {
        const RECT kept = layout.RectOf(id);
        layout.Item(id)->SetText(L"A longer text");
        EXPECT_EQ(kept, layout.RectOf(id)) << id;
    }
}

TEST_F(BasicItemsTest, ButtonsDrawTheirSkinInTheirState)
{
    TestLayout layout(R"(<body><button id="1" class="btn" pos="4,4,44,24">OK</button></body>)", 48, 28);
    CSkWindow* button = layout.Item(1);
    const CSkSkinBase* skin = FindSkin("normalbtn");
    ASSERT_TRUE(skin);
    std::vector<COLORREF> middles;
    for (UINT state : {0u, SKS_HOVER, SKS_HOVER | SKS_PUSHED, SKS_DISABLED}) {
        SCOPED_TRACE(state);
        button->m_state = state;
        ItemCanvas drawn(48, 28);
        drawn.Draw(*button);
        // The skin drawn by itself with the same state, then the text over it.
        ItemCanvas expected(48, 28);
        skin->Draw(expected.Dc(), button->m_rect, static_cast<int>(state));
        const TextInk ink(48, 28, DefaultSkinFont(), L"OK", button->m_rect, 0x25);
        ExpectPixels(drawn, [&](int x, int y) -> std::optional<COLORREF> {
            if (ink.At(x, y))
                return (state & SKS_DISABLED) ? RGB(0xCC, 0xCC, 0xCC) : RGB(0, 0, 0);
            const COLORREF under = expected.Pixel(x, y);
            // Text edges blend with what lies under them.
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (x + dx >= 0 && y + dy >= 0 && x + dx < 48 && y + dy < 28 && ink.At(x + dx, y + dy))
                        return std::nullopt;
            return under;
        });
        middles.push_back(drawn.Pixel(6, 21)); // the last gradient row, left of the text
    }
    // Normal, hover and pushed differ at the bottom of the gradient.
    EXPECT_NE(middles[0], middles[1]);
    EXPECT_NE(middles[1], middles[2]);
}

TEST_F(BasicItemsTest, LinksAndTextsTakeTheirColoursFromTheirStyle)
{
    TestLayout layout(R"(<body>
        <link id="1" class="linktext" pos="0,0,60,20">Link</link>
        <text id="2" crbg="00FF00" crtext="0000FF" pos="0,20,60,40">Text</text>
    </body>)",
                      60, 40);
    CSkWindow* link = layout.Item(1);
    CSkWindow* text = layout.Item(2);
    const UINT bottom = DT_SINGLELINE | DT_BOTTOM;
    struct Case {
        CSkWindow* item;
        UINT state;
        const wchar_t* text;
        COLORREF ink;
        COLORREF back; // CLR_INVALID: not filled
    };
    const Case cases[] = {
        {link, 0, L"Link", RGB(0x30, 0x64, 0xA5), CLR_INVALID},
        {link, SKS_HOVER, L"Link", RGB(0xFF, 0, 0), CLR_INVALID},
        {text, 0, L"Text", RGB(0, 0, 0xFF), RGB(0, 0xFF, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        c.item->m_state = c.state;
        ItemCanvas canvas(60, 40);
        canvas.Draw(*c.item);
        const TextInk ink(60, 40, DefaultSkinFont(), c.text, c.item->m_rect, bottom);
        ASSERT_FALSE(ink.Points().empty());
        ExpectPixels(canvas, [&](int x, int y) -> std::optional<COLORREF> {
            if (!Inside(c.item->m_rect, x, y))
                return RGB(1, 2, 3);
            if (ink.At(x, y))
                return c.ink;
            if (c.back != CLR_INVALID && (x == c.item->m_rect.left || y == c.item->m_rect.top))
                return c.back;
            return std::nullopt;
        });
    }
}

TEST_F(BasicItemsTest, ImagesDrawTheirSkinAndTakeItsSize)
{
    TestLayout layout(R"(<body>
        <img id="1" skin="horzsubs" sub="2" pos="5,5">never drawn</img>
        <img id="2" skin="horzsubs" pos="0,20"/>
        <img id="3" skin="horzsubs" pos="0,30,30,50"/>
        <img id="4" skin="nosuchskin" crbg="00FF00" crtext="FF0000" pos="0,40,20,50">WWW</img>
    </body>)",
                      60, 60);
    EXPECT_EQ((RECT{5, 5, 15, 11}), layout.RectOf(1));  // the skin's 10 x 6
    EXPECT_EQ((RECT{0, 30, 10, 36}), layout.RectOf(3)); // the skin's size wins over a four-item pos
    EXPECT_EQ(nullptr, static_cast<CSkImageWnd*>(layout.Item(4))->m_skin);

    ItemCanvas canvas(60, 60);
    canvas.Draw(*layout.Item(1));
    ExpectPixels(canvas, [](int x, int y) -> std::optional<COLORREF> {
        if (x >= 5 && x < 15 && y >= 5 && y < 11)
            return HorzPixel(20 + x - 5, y - 5); // sub-image 2, and no text
        return RGB(1, 2, 3);
    });

    // Sub -1 (the default) draws the whole strip at its own size.
    canvas.Draw(*layout.Item(2));
    ExpectPixels(canvas, [](int x, int y) -> std::optional<COLORREF> {
        if (x < 40 && y >= 20 && y < 26)
            return HorzPixel(x, y - 20);
        return RGB(1, 2, 3);
    });

    // Without its skin an image draws its background only, never its text.
    canvas.Draw(*layout.Item(4));
    ExpectPixels(canvas, [](int x, int y) -> std::optional<COLORREF> {
        return (x < 20 && y >= 40 && y < 50) ? RGB(0, 0xFF, 0) : RGB(1, 2, 3);
    });
}

TEST_F(BasicItemsTest, ImageButtonsPickTheSubImageOfTheirState)
{
    TestLayout layout(R"(<body><imgbtn id="1" skin="horzsubs" sub="1" pos="2,3"/></body>)", 20, 20);
    CSkWindow* button = layout.Item(1);
    EXPECT_EQ((RECT{2, 3, 12, 9}), button->m_rect);
    struct Case {
        UINT state;
        int sub;
    };
    const Case cases[] = {
        {0, 0},
        {SKS_HOVER, 1},
        {SKS_PUSHED, 2},
        {SKS_HOVER | SKS_PUSHED, 2},
        {SKS_DISABLED | SKS_HOVER | SKS_PUSHED, 3},
        {SKS_CHECKED, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        button->m_state = c.state;
        ItemCanvas canvas(20, 20);
        canvas.Draw(*button);
        ExpectPixels(canvas, [&](int x, int y) -> std::optional<COLORREF> {
            if (x >= 2 && x < 12 && y >= 3 && y < 9)
                return HorzPixel(c.sub * 10 + x - 2, y - 3);
            return RGB(1, 2, 3);
        });
    }
}

TEST_F(BasicItemsTest, LinesRunFromTopLeftToBottomRight)
{
    TestLayout layout(R"(<body>
        <hr id="1" crbg="FF0000" pos="151,10,151,-0"/>
        <hr id="2" crbg="0000FF" size="3" pos="0,50,-0,50"/>
        <hr id="3" crbg="00FF00" style="dot" pos="0,70,-0,70"/>
    </body>)",
                      300, 100);
    EXPECT_EQ((RECT{151, 10, 151, 100}), layout.RectOf(1));

    ItemCanvas canvas(300, 100);
    canvas.Draw(*layout.Item(1));
    ExpectPixels(canvas, [](int x, int y) -> std::optional<COLORREF> {
        return (x == 151 && y >= 10 && y < 100) ? RGB(0xFF, 0, 0) : RGB(1, 2, 3);
    });

    // A wide pen covers rows above and below the line.
    canvas.Draw(*layout.Item(2));
    for (int y : {49, 50, 51})
        EXPECT_EQ(RGB(0, 0, 0xFF), canvas.Pixel(150, y)) << y;
    EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(150, 53));

    // A dotted line leaves gaps.
    canvas.Draw(*layout.Item(3));
    int on = 0;
    for (int x = 0; x < 300; ++x)
        on += canvas.Pixel(x, 70) == RGB(0, 0xFF, 0);
    EXPECT_GT(on, 50);
    EXPECT_LT(on, 250);

    // An unknown pen style is refused and changes nothing.
    auto* dotted = static_cast<CSkLine*>(layout.Item(3));
    EXPECT_EQ(PS_DOT, dotted->m_penStyle);
    EXPECT_EQ(E_FAIL, dotted->ApplyAttribute("style", "dotted", FALSE));
    EXPECT_EQ(PS_DOT, dotted->m_penStyle);
    const struct {
        const char* name;
        int style;
    } styles[] = {{"solid", PS_SOLID},
                  {"dash", PS_DASH},
                  {"dot", PS_DOT},
                  {"dashdot", PS_DASHDOT},
                  {"dashdotdot", PS_DASHDOTDOT}};
    for (const auto& s : styles) {
        EXPECT_EQ(S_FALSE, dotted->ApplyAttribute("style", s.name, FALSE));
        EXPECT_EQ(s.style, dotted->m_penStyle);
    }
}

TEST_F(BasicItemsTest, IconsDrawSystemAndOwnIconsAtTheirSize)
{
    TestLayout layout(R"(<body>
        <icon id="1" oem="1" src="32516" size="32" pos="0,0"/>
        <icon id="2" src="7001" pos="0,0"/>
        <icon id="3" src="7001" size="32" pos="0,0"/>
        <icon id="4" src="7001" size="16" width="32" height="32"/>
        <icon id="5" src="7999" crbg="00FF00" pos="0,0"/>
    </body>)",
                      40, 40);
    EXPECT_EQ((RECT{0, 0, 32, 32}), layout.RectOf(1));
    EXPECT_EQ((RECT{0, 0, 16, 16}), layout.RectOf(2));

    // The system information icon, as DrawIconEx draws it at 32 x 32.
    ItemCanvas expected(40, 40);
    HICON information = LoadIconW(nullptr, IDI_INFORMATION);
    ASSERT_TRUE(information);
    DrawIconEx(expected.Dc(), 0, 0, information, 32, 32, 0, nullptr, DI_NORMAL);
    ItemCanvas canvas(40, 40);
    canvas.Draw(*layout.Item(1));
    ExpectPixels(canvas, [&](int x, int y) -> std::optional<COLORREF> { return expected.Pixel(x, y); });
    EXPECT_GT(canvas.CountOtherThan(RGB(1, 2, 3)), 100);

    // The program's own icon: the image of the item's size, stretched over
    // the rectangle.
    struct Case {
        UINT id;
        int image;
        int scale;
    };
    for (const Case& c : {Case{2, 16, 1}, Case{3, 32, 1}, Case{4, 16, 2}}) {
        SCOPED_TRACE(c.id);
        canvas.Draw(*layout.Item(c.id));
        const int extent = c.image * c.scale;
        ExpectPixels(canvas, [&](int x, int y) -> std::optional<COLORREF> {
            if (x < extent && y < extent)
                return IconPixel(c.image, x / c.scale, y / c.scale);
            return RGB(1, 2, 3);
        });
    }

    // A missing icon draws nothing over the background.
    auto* missing = static_cast<CSkIconWnd*>(layout.Item(5));
    EXPECT_EQ(nullptr, missing->Icon());
    canvas.Draw(*missing);
    EXPECT_EQ(16 * 16, 40 * 40 - canvas.CountOtherThan(RGB(0, 0xFF, 0)));

    // A src set at run time is loaded at the next paint, at the size then set.
    missing->ApplyAttribute("size", "32", FALSE);
    missing->ApplyAttribute("src", "7001", FALSE);
    canvas.Draw(*missing);
    EXPECT_EQ(kPatternIcon, missing->m_loadedSrc);
    ASSERT_TRUE(missing->Icon());
    EXPECT_EQ(40, GetRValue(canvas.Pixel(3, 5))); // the 32 x 32 image, squeezed into 16 x 16
}

TEST_F(BasicItemsTest, DialogFilesTakeTheirChildrenFromTheirResource)
{
    TestLayout layout(R"(<body>
        <dlgfile id="70" src="7101" pos="0,0,-0,-0"><text id="99"/></dlgfile>
    </body>)",
                      100, 50);
    CSkWindow* panel = layout.Item(70);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(panel->IsContainer());
    EXPECT_EQ(nullptr, layout.Item(99)); // its own children are not read
    ASSERT_TRUE(layout.Item(71));
    EXPECT_STREQ(L"从文件", layout.Item(71)->m_text.GetString());
    EXPECT_EQ(panel->m_handle, layout.Item(71)->m_parentHandle);
    EXPECT_EQ((RECT{1, 2, 11, 12}), layout.RectOf(71));
    EXPECT_EQ((RECT{20, 0, 25, 5}), layout.RectOf(73));

    struct Case {
        const char* xml;
        BOOL loaded;
    };
    const Case cases[] = {
        {R"(<dlgfile id="1"><text id="2"/></dlgfile>)", FALSE}, // no src
        {R"(<dlgfile id="1" src=""/>)", FALSE},
        {R"(<dlgfile id="1" src="7102"/>)", FALSE}, // does not parse
        {R"(<dlgfile id="1" src="7999"/>)", TRUE},  // missing: an empty panel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        TiXmlDocument doc;
        ASSERT_TRUE(ParseSkinXml(c.xml, doc));
        CSkDialogFile file;
        EXPECT_EQ(c.loaded, file.LoadFromXml(RootElement(doc)));
        EXPECT_EQ(1u, file.m_id);
        EXPECT_TRUE(file.Children().empty());
    }
}

// A file that includes itself, directly (7103) or through another (7104 and
// 7105 include each other), is refused where it comes round again, with an
// empty panel; the same file side by side is no cycle.
TEST_F(BasicItemsTest, DialogFilesThatIncludeThemselvesAreRefusedWhereTheyComeRound)
{
    TestLayout layout(R"(<body>
        <dlg id="1"><dlgfile id="2" src="7103"/></dlg>
        <dlg id="3"><dlgfile id="4" src="7104"/></dlg>
        <dlg id="5"><dlgfile id="6" src="7101"/><dlgfile id="7" src="7101"/></dlg>
    </body>)",
                      100, 50);
    auto children = [&layout](UINT id) {
        const auto* panel = static_cast<CSkDialogFile*>(layout.Item(id));
        return panel ? panel->Children().size() : size_t(999);
    };
    // 7103 once, then its include of itself stays empty.
    EXPECT_EQ(2u, children(2));
    ASSERT_TRUE(layout.Item(81));
    EXPECT_EQ(0u, children(82));
    // 7104, 7105 inside it, and 7105's include of 7104 empty.
    ASSERT_TRUE(layout.Item(83) && layout.Item(85));
    EXPECT_EQ(2u, children(84));
    EXPECT_EQ(0u, children(86));

    TiXmlDocument doc;
    ASSERT_TRUE(ParseSkinXml(R"(<dlgfile id="1" src="7103"/>)", doc));
    CSkDialogFile file;
    EXPECT_TRUE(file.LoadFromXml(RootElement(doc)));
    ASSERT_EQ(2u, file.Children().size());
    TiXmlDocument again;
    ASSERT_TRUE(ParseSkinXml(R"(<dlgfile id="82" src="7103"/>)", again));
    // Outside any load the file is no cycle: it loads again in full.
    CSkDialogFile second;
    EXPECT_TRUE(second.LoadFromXml(RootElement(again)));
    EXPECT_EQ(2u, second.Children().size());
    const auto* inner = static_cast<CSkDialogFile*>(file.Children()[1].get());
    EXPECT_TRUE(inner->Children().empty());

    // Side by side both load.
    EXPECT_EQ(2u, children(6));
    EXPECT_EQ(2u, children(7));
}

TEST_F(BasicItemsTest, RepaintRequestsGoToTheHostViewOfVisibleItems)
{
    ItemHost host;
    TestLayout layout(R"(<body><dlg id="1"><text id="2" pos="1,1,9,9"/></dlg></body>)", 100, 100, host.view);
    CSkWindow* item = layout.Item(2);
    const RECT part = {3, 4, 5, 6};
    InvalidateItemRect(part, *item);
    ASSERT_EQ(1u, host.notices.size());
    const ItemNotice& n = host.notices[0];
    EXPECT_EQ(SKN_INVALIDATE_RECT, n.code);
    EXPECT_EQ(nullptr, n.from);
    EXPECT_EQ(2u, n.idFrom);
    EXPECT_EQ(2u, n.wParam);
    EXPECT_EQ(item->m_handle, n.value);
    EXPECT_EQ(part, n.rect);

    // Nothing for an item under a hidden panel, nor without a live host.
    layout.Item(1)->m_state |= SKS_HIDDEN;
    InvalidateItemRect(part, *item);
    layout.Item(1)->m_state &= ~SKS_HIDDEN;
    item->SetHostWindow(nullptr);
    InvalidateItemRect(part, *item);
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    item->SetHostWindow(gone);
    InvalidateItemRect(part, *item);
    EXPECT_EQ(1u, host.notices.size());
}
