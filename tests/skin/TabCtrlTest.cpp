#include "ItemHost.h"
#include "ItemTestSupport.h"
#include "TestLayout.h"

#include <gtest/gtest.h>

#include "skin/SkItemRegistry.h"
#include "skin/SkTab.h"
#include "skin/SkTabCtrl.h"

using test_images::HorzPixel;
using test_images::MaskPixel;
using test_images::StripPixel;

namespace {

const COLORREF kBack = RGB(1, 2, 3);
// DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS
const UINT kTitleFormat = 0x8925;

class TabCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadItemSkins();
        LoadItemStyles();
    }

    // A layout whose body holds one tab control, id 50.
    void Load(const std::string& tabCtrl, int width = 400, int height = 300)
    {
        layout = std::make_unique<TestLayout>("<body>" + tabCtrl + "</body>", width, height, host.view);
        tabs = static_cast<CSkTabCtrl*>(layout->Item(50));
        ASSERT_TRUE(tabs);
    }

    RECT TabRect(int index)
    {
        RECT rect = {-1, -1, -1, -1};
        EXPECT_TRUE(tabs->GetTabRect(index, rect)) << index;
        return rect;
    }

    bool Shown(int page) { return !(tabs->GetTab(page)->m_state & SKS_HIDDEN); }

    POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

    std::vector<RECT> Repaints()
    {
        std::vector<RECT> rects;
        for (const ItemNotice& n : host.Of(SKN_INVALIDATE_RECT)) {
            EXPECT_EQ(tabs->m_handle, n.value);
            rects.push_back(n.rect);
        }
        return rects;
    }

    ItemHost host;
    std::unique_ptr<TestLayout> layout;
    CSkTabCtrl* tabs = nullptr;
};

const char* const kThreePages = R"(
    <tabctrl id="50" pos="10,10,-10,-10" tabwidth="72" tabheight="68" tabspacing="15" tabpos="1" framepos="4"
             class="margins">
        <tab id="51" title="一"><text id="61" pos="0,0,10,10" crbg="FF0000"/><realwnd id="21" pos="0,20,50,40"/></tab>
        <text id="59"/>
        <tab id="52" title="二" pos="5,5,10,10"><text id="62" pos="0,0,10,10" crbg="0000FF"/>
            <realwnd id="22" pos="0,20,50,40"/></tab>
        <tab id="53" title="三"><text id="61" pos="1,1,5,5"/></tab>
    </tabctrl>)";

} // namespace

TEST_F(TabCtrlTest, TopTabsLineUpAlongTheStripAboveTheFrame)
{
    Load(kThreePages);
    ASSERT_EQ(3, tabs->TabCount());
    EXPECT_EQ((RECT{10, 10, 390, 290}), tabs->m_rect);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ((RECT{10 + 1 + 87 * i, 10, 10 + 73 + 87 * i, 10 + 68}), TabRect(i)) << i;
    RECT none;
    EXPECT_FALSE(tabs->GetTabRect(3, none));
    EXPECT_FALSE(tabs->GetTabRect(-1, none));
    EXPECT_EQ(nullptr, tabs->GetTab(3));

    // The frame: 68 + 4 below the top, less the style's margins (3, 4).
    const RECT frame = {13, 10 + 68 + 4 + 4, 387, 286};
    EXPECT_EQ(frame, tabs->m_frame);
    // Every page fills the frame, whatever its own pos said.
    for (UINT page : {51u, 52u, 53u})
        EXPECT_EQ(frame, layout->RectOf(page)) << page;
    EXPECT_EQ((RECT{13, 86, 23, 96}), layout->RectOf(62));

    // Only "tab" elements become pages; the first is selected and shown.
    EXPECT_EQ(nullptr, layout->Item(59));
    EXPECT_EQ(0, tabs->m_cursel);
    EXPECT_TRUE(Shown(0));
    EXPECT_FALSE(Shown(1));
    EXPECT_FALSE(Shown(2));
    EXPECT_STREQ(L"二", tabs->GetTab(1)->m_title.GetString());
    EXPECT_EQ(tabs->m_handle, tabs->GetTab(1)->m_parentHandle);
    EXPECT_EQ(host.view, layout->Item(62)->m_hostWindow);
}

TEST_F(TabCtrlTest, LeftTabsStackDownTheStripBesideTheFrame)
{
    Load(R"(<tabctrl id="50" pos="0,0,-0,-0" tabalign="left" tabwidth="99" tabheight="30" framepos="6"
                     text-x="-10" crtext="0000FF">
        <tab title="One"/><tab title="Two"/><tab title="Three"/>
    </tabctrl>)",
         300, 200);
    EXPECT_EQ(1, tabs->m_tabAlign);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ((RECT{0, 30 * i, 99, 30 + 30 * i}), TabRect(i)) << i;
    EXPECT_EQ((RECT{105, 0, 300, 200}), tabs->m_frame);

    // Titles move by text-x.
    ItemCanvas canvas(300, 200);
    canvas.Draw(*tabs);
    for (int i = 0; i < 3; ++i) {
        RECT title = TabRect(i);
        OffsetRect(&title, -10, 0);
        const TextInk ink(300, 200, DefaultSkinFont(), tabs->GetTab(i)->m_title.GetString(), title,
                          kTitleFormat);
        const std::vector<POINT> points = ink.Points();
        ASSERT_FALSE(points.empty());
        for (const POINT& p : points)
            ASSERT_EQ(RGB(0, 0, 0xFF), canvas.Pixel(p.x, p.y)) << i << ": " << p.x << "," << p.y;
    }

    EXPECT_EQ(E_FAIL, tabs->ApplyAttribute("tabalign", "bottom", FALSE));
    EXPECT_EQ(1, tabs->m_tabAlign);
    EXPECT_EQ(S_OK, tabs->ApplyAttribute("tabalign", "top", FALSE));
    EXPECT_EQ(0, tabs->m_tabAlign);
    for (const char* ignored : {"crbg1", "splitterskin1", "tabs"})
        EXPECT_EQ(E_FAIL, tabs->ApplyAttribute(ignored, "1", FALSE)) << ignored;
}

TEST_F(TabCtrlTest, HiddenTabsTakeNoPlaceAndAreNeverSelectedAtFirst)
{
    struct Case {
        const char* pages;
        const char* cursel;
        int selected;
        int shown;
    };
    const Case cases[] = {
        {R"(<tab hide="1"/><tab/><tab/><tab/>)", "", 1, 1},
        {R"(<tab/><tab hide="1"/><tab/><tab/>)", "", 0, 0},
        {R"(<tab/><tab/><tab/><tab/>)", R"(cursel="2")", 2, 2},
        {R"(<tab/><tab hide="1"/><tab/><tab/>)", R"(cursel="1")", 0,
         0}, // a hidden page: the first one with a tab
        {R"(<tab hide="1"/><tab/><tab/><tab/>)", R"(cursel="3")", 3, 3}, // the page chosen is the one shown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pages) + " " + c.cursel);
        Load(std::string(R"(<tabctrl id="50" pos="0,0,-0,-0" tabwidth="50" tabheight="20" tabspacing="5" )") +
             c.cursel + ">" + c.pages + "</tabctrl>");
        EXPECT_EQ(c.selected, tabs->m_cursel);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(i == c.shown, Shown(i)) << i;
    }

    // The tabs after a hidden one close up.
    Load(R"(<tabctrl id="50" pos="0,0,-0,-0" tabwidth="50" tabheight="20" tabspacing="5">
        <tab/><tab hide="1"/><tab/><tab/></tabctrl>)");
    EXPECT_EQ((RECT{0, 0, 50, 20}), TabRect(0));
    EXPECT_EQ((RECT{55, 0, 105, 20}), TabRect(2));
    EXPECT_EQ((RECT{110, 0, 160, 20}), TabRect(3));
    // A press where the hidden tab would be is on the next one.
    tabs->SendSkMessage(SKM_LBUTTONDOWN, 0, MAKELPARAM(60, 10));
    EXPECT_EQ(2, tabs->m_cursel);
}

TEST_F(TabCtrlTest, ChangesAskTheOwnerWhoMayRefuse)
{
    Load(kThreePages);
    EXPECT_TRUE(tabs->SelectTab(1));
    ASSERT_EQ(1u, host.Of(SKN_TAB_CHANGING).size());
    const ItemNotice asked = host.Of(SKN_TAB_CHANGING)[0];
    EXPECT_EQ(50u, asked.value);
    EXPECT_EQ(1, asked.newSel);
    EXPECT_EQ(0, asked.oldSel);
    EXPECT_EQ(host.view, asked.from);
    EXPECT_EQ(IDC_SKIN_VIEW, asked.idFrom);
    EXPECT_EQ(IDC_SKIN_VIEW, asked.wParam);
    EXPECT_EQ(1, tabs->m_cursel);
    EXPECT_FALSE(Shown(0));
    EXPECT_TRUE(Shown(1));
    EXPECT_EQ(tabs->m_frame, layout->RectOf(52));
    // The old tab, the new tab and the frame are repainted.
    EXPECT_EQ((std::vector<RECT>{TabRect(0), TabRect(1), tabs->m_frame}), Repaints());

    // A refusal changes nothing.
    host.notices.clear();
    host.refuseTabChange = true;
    EXPECT_FALSE(tabs->SelectTab(2));
    EXPECT_EQ(1u, host.Of(SKN_TAB_CHANGING).size());
    EXPECT_EQ(2, host.Of(SKN_TAB_CHANGING)[0].newSel);
    EXPECT_EQ(1, tabs->m_cursel);
    EXPECT_TRUE(Shown(1));
    EXPECT_FALSE(Shown(2));
    EXPECT_TRUE(Repaints().empty());
    // Nor does a refused press on a tab.
    tabs->SendSkMessage(SKM_LBUTTONDOWN, 0, At(Centre(TabRect(0))));
    EXPECT_EQ(1, tabs->m_cursel);

    // The current page again: the owner is asked, nothing is repainted.
    host.notices.clear();
    host.refuseTabChange = false;
    EXPECT_TRUE(tabs->SelectTab(1));
    EXPECT_EQ(1u, host.Of(SKN_TAB_CHANGING).size());
    EXPECT_TRUE(Repaints().empty());
    // A press on the selected tab asks nobody.
    tabs->SendSkMessage(SKM_LBUTTONDOWN, 0, At(Centre(TabRect(1))));
    EXPECT_EQ(1u, host.Of(SKN_TAB_CHANGING).size());
    // A press on another tab selects it at once.
    tabs->SendSkMessage(SKM_LBUTTONDOWN, 0, At(Centre(TabRect(2))));
    EXPECT_EQ(2, tabs->m_cursel);
    EXPECT_EQ(2u, host.Of(SKN_TAB_CHANGING).size());
}

TEST_F(TabCtrlTest, AnIndexOutOfRangeLeavesNoPageSelected)
{
    Load(kThreePages);
    const UINT page0Item = layout->Item(61)->m_handle;
    EXPECT_EQ(page0Item, tabs->HitTest(Centre(layout->RectOf(61))));

    EXPECT_FALSE(tabs->SelectTab(-1));
    EXPECT_EQ(-1, tabs->m_cursel);
    EXPECT_FALSE(Shown(0));
    EXPECT_EQ((std::vector<RECT>{TabRect(0)}), Repaints());
    // No page: the frame belongs to the control, and only its strip is drawn.
    EXPECT_EQ(tabs->m_handle, tabs->HitTest(Centre(layout->RectOf(61))));
    ItemCanvas canvas(400, 300);
    canvas.Draw(*tabs);
    EXPECT_EQ(kBack, canvas.Pixel(15, 88));

    // From no page, another index out of range is refused after asking.
    host.notices.clear();
    EXPECT_FALSE(tabs->SelectTab(3));
    EXPECT_EQ(1u, host.Of(SKN_TAB_CHANGING).size());
    EXPECT_EQ(-1, host.Of(SKN_TAB_CHANGING)[0].oldSel);
    EXPECT_EQ(-1, tabs->m_cursel);

    // And a valid one selects; only the new tab and the frame repaint.
    host.notices.clear();
    EXPECT_TRUE(tabs->SelectTab(2));
    EXPECT_TRUE(Shown(2));
    EXPECT_EQ((std::vector<RECT>{TabRect(2), tabs->m_frame}), Repaints());
}

TEST_F(TabCtrlTest, HitTestingAndSearchFollowThePages)
{
    Load(kThreePages);
    // The strip and the margins are the control's own.
    EXPECT_EQ(tabs->m_handle, tabs->HitTest(Centre(TabRect(2))));
    EXPECT_EQ(tabs->m_handle, tabs->HitTest(POINT{11, 200}));
    EXPECT_EQ(0u, tabs->HitTest(POINT{5, 5}));
    EXPECT_EQ(tabs->GetTab(0)->m_handle, tabs->HitTest(POINT{200, 200}));

    // Pages first, each before its own items; hidden pages are searched too.
    EXPECT_EQ(tabs->GetTab(1), tabs->FindItemById(52));
    EXPECT_EQ(tabs->GetTab(0)->m_handle, layout->Item(61)->m_parentHandle);
    ASSERT_TRUE(tabs->FindItemById(62));
    EXPECT_EQ(nullptr, tabs->FindItemById(59));

    // Loading again replaces the pages.
    const UINT oldPage = tabs->GetTab(0)->m_handle;
    TiXmlDocument doc;
    ASSERT_TRUE(ParseSkinXml(R"(<tabctrl id="50"><tab id="81"/></tabctrl>)", doc));
    EXPECT_TRUE(tabs->LoadFromXml(RootElement(doc)));
    EXPECT_EQ(1, tabs->TabCount());
    EXPECT_EQ(nullptr, FindSkWindow(oldPage));
    EXPECT_EQ(81u, tabs->GetTab(0)->m_id);
}

TEST_F(TabCtrlTest, OnlyTheSelectedPageShowsItsRealWindows)
{
    HWND first = host.AddEdit(21);
    HWND second = host.AddEdit(22);
    Load(kThreePages);
    auto visible = [](HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; };

    layout->panel.SendSkMessage(SKM_SHOW, TRUE);
    EXPECT_TRUE(visible(first));
    EXPECT_FALSE(visible(second));

    ASSERT_TRUE(tabs->SelectTab(1));
    EXPECT_FALSE(visible(first));
    EXPECT_TRUE(visible(second));
    EXPECT_EQ(layout->RectOf(22), host.ChildRect(second));

    layout->panel.ShowRealWindows(TRUE);
    EXPECT_FALSE(visible(first));
    EXPECT_TRUE(visible(second));

    // Hiding the control hides the selected page with its windows.
    tabs->SendSkMessage(SKM_SHOW, FALSE);
    EXPECT_FALSE(Shown(1));
    EXPECT_FALSE(visible(second));
    tabs->SendSkMessage(SKM_SHOW, TRUE);
    EXPECT_TRUE(Shown(1));
    EXPECT_TRUE(visible(second));
    EXPECT_FALSE(Shown(0));
}

TEST_F(TabCtrlTest, HoverFollowsTheMouseOverTabsOtherThanTheSelectedOne)
{
    Load(kThreePages);
    tabs->SendSkMessage(SKM_MOUSEMOVE, 0, At(Centre(TabRect(2))));
    EXPECT_EQ(2, tabs->m_hover);
    EXPECT_EQ((std::vector<RECT>{TabRect(2)}), Repaints());

    host.notices.clear();
    tabs->SendSkMessage(SKM_MOUSEMOVE, 0, At(Centre(TabRect(1))));
    EXPECT_EQ(1, tabs->m_hover);
    EXPECT_EQ((std::vector<RECT>{TabRect(1), TabRect(2)}), Repaints());

    // The selected tab is never the hover tab.
    host.notices.clear();
    tabs->SendSkMessage(SKM_MOUSEMOVE, 0, At(Centre(TabRect(0))));
    EXPECT_EQ(-1, tabs->m_hover);
    EXPECT_EQ((std::vector<RECT>{TabRect(1)}), Repaints());

    tabs->SendSkMessage(SKM_MOUSEMOVE, 0, At(Centre(TabRect(2))));
    host.notices.clear();
    tabs->SendSkMessage(SKM_MOUSELEAVE);
    EXPECT_EQ(-1, tabs->m_hover);
    EXPECT_EQ((std::vector<RECT>{TabRect(2)}), Repaints());
    host.notices.clear();
    tabs->SendSkMessage(SKM_MOUSELEAVE);
    EXPECT_TRUE(Repaints().empty());
}

TEST_F(TabCtrlTest, TheStripIsDrawnBySkinsInTheTabsStates)
{
    // Tabs 80 x 20 with 20 between them; the second page has no tab.
    Load(R"(<tabctrl id="50" pos="0,0,-0,-0" tabwidth="80" tabheight="20" tabspacing="20" framepos="2"
                     tabskin="horzsubs" iconskin="strip" icon-x="4" icon-y="10" splitterskin="splitter"
                     frameskin="uglybtn">
        <tab><text pos="10,10,20,20" crbg="FF0000"/></tab>
        <tab hide="1"/>
        <tab><text pos="10,10,20,20" crbg="0000FF"/></tab>
    </tabctrl>)",
         240, 80);
    tabs->m_hover = 2;
    ItemCanvas canvas(240, 80);
    canvas.Draw(*tabs);
    // Slot 0: page 0, selected (tab sub-image 2); slot 1 at x 100: page 2,
    // hovered (sub-image 1), with icon sub-image 2. One splitter, after slot 0.
    struct Slot {
        int left;
        int tabSub;
        int iconSub;
    };
    const Slot slots[] = {{0, 2, 0}, {100, 1, 2}};
    ExpectPixels(canvas, [&](int x, int y) -> std::optional<COLORREF> {
        if (y >= 22) {
            if (x == 0 || x == 239 || y == 22 || y == 79)
                return RGB(0x70, 0x70, 0x70); // the frame skin's border
            if (x >= 10 && x < 20 && y >= 32 && y < 42)
                return RGB(0xFF, 0, 0); // the selected page's item
            return std::nullopt;
        }
        for (const Slot& s : slots) {
            const int tx = x - s.left;
            if (tx >= 4 && tx < 76 && y >= 10 && y < 18)
                return StripPixel(s.iconSub * 72 + tx - 4, y - 10);
            if (tx >= 0 && tx < 10 && y < 6)
                return HorzPixel(s.tabSub * 10 + tx, y);
        }
        if (x >= 84 && x < 96 && y < 6)
            return MaskPixel(x - 84, y);
        return kBack;
    });

    ASSERT_TRUE(tabs->SelectTab(2));
    canvas.Draw(*tabs);
    EXPECT_EQ(RGB(0, 0, 0xFF), canvas.Pixel(15, 37));
    EXPECT_EQ(HorzPixel(0, 0), canvas.Pixel(0, 0));    // page 0's tab, now normal
    EXPECT_EQ(HorzPixel(20, 0), canvas.Pixel(100, 0)); // page 2's tab, selected
}

TEST_F(TabCtrlTest, TitlesUseTheFontAndTheSelectedTitleTheHoverFont)
{
    Load(R"(<tabctrl id="50" class="tabs" pos="0,0,-0,-0" tabwidth="90" tabheight="40" text-y="3">
        <tab title="Tom &amp; Jerry"/>
        <tab title="A&amp;B"/>
        <tab title="A title far too long for its tab"/>
    </tabctrl>)",
         300, 100);
    tabs->SelectTab(1);
    ItemCanvas canvas(300, 100);
    canvas.Draw(*tabs);
    HFONT hoverFont = FindStyle("tabs").hoverfont;
    ASSERT_TRUE(hoverFont);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        RECT title = TabRect(i);
        OffsetRect(&title, 0, 3);
        const bool selected = i == 1;
        const TextInk ink(300, 100, selected ? hoverFont : DefaultSkinFont(),
                          tabs->GetTab(i)->m_title.GetString(), title, kTitleFormat);
        const std::vector<POINT> points = ink.Points();
        ASSERT_FALSE(points.empty());
        int wrong = 0;
        for (const POINT& p : points)
            wrong += canvas.Pixel(p.x, p.y) != (selected ? RGB(0xFF, 0, 0) : RGB(0, 0, 0xFF));
        EXPECT_EQ(0, wrong);
    }
}
