#include "TestLayout.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/DibCanvas.h"
#include "skin/SkItemFactory.h"
#include "skin/SkItemRegistry.h"
#include "skin/SkPanelXml.h"

namespace {

class SkLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { LoadTestStyles(); }
};

// An item that records the pseudo-messages it gets.
class CRecordingItem : public CSkWindow {
public:
    explicit CRecordingItem(const char* tag = "text") : m_tag(tag) {}
    const char* TagName() const override { return m_tag; }
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        messages.push_back(msg);
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    }

    std::vector<UINT> messages;

private:
    const char* m_tag;
};

CRecordingItem* AddRecordingChild(CSkContainerWnd& panel, RECT rect, UINT id, const char* tag = "text")
{
    auto child = std::make_unique<CRecordingItem>(tag);
    CRecordingItem* raw = child.get();
    raw->m_rect = rect;
    raw->m_id = id;
    raw->m_parentHandle = panel.m_handle;
    raw->SetHostWindow(panel.m_hostWindow);
    panel.AppendChild(std::move(child));
    return raw;
}

POINT At(int x, int y)
{
    return POINT{x, y};
}

} // namespace

TEST_F(SkLayoutTest, FactoryKnowsItsTagsOnly)
{
    for (const char* tag : {"dlg", "text", "button", "link"}) {
        auto item = CreateSkinItem(tag);
        ASSERT_TRUE(item) << tag;
        EXPECT_STREQ(tag, item->TagName());
        EXPECT_TRUE(item->MatchesTag(tag));
    }
    for (const char* tag : {"tab", "br", "div", "DLG", "", "text "})
        EXPECT_EQ(nullptr, CreateSkinItem(tag)) << tag;
    EXPECT_EQ(nullptr, CreateSkinItem(nullptr));
    EXPECT_TRUE(CreateSkinItem("dlg")->IsContainer());
    EXPECT_FALSE(CreateSkinItem("text")->IsContainer());
}

TEST_F(SkLayoutTest, ChildrenAreBuiltInDocumentOrderAndUnknownTagsSkippedWithTheirContent)
{
    HWND host = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    TestLayout layout(R"(<body id="900">
        <text id="1"/>
        <!-- a comment -->
        <div><text id="2"/></div>
        <dlg id="3"><button id="4"/><br/><link id="5"/></dlg>
        <tab id="6"/>
    </body>)",
                      400, 300, host);
    ASSERT_TRUE(layout.Parsed());
    const auto& children = layout.panel.Children();
    ASSERT_EQ(2u, children.size());
    EXPECT_EQ(1u, children[0]->m_id);
    EXPECT_EQ(3u, children[1]->m_id);
    EXPECT_EQ(nullptr, layout.Item(2));
    EXPECT_EQ(nullptr, layout.Item(6));
    CSkWindow* button = layout.Item(4);
    ASSERT_TRUE(button);
    EXPECT_STREQ("button", button->TagName());
    EXPECT_EQ(children[1]->m_handle, button->m_parentHandle);
    EXPECT_EQ(layout.panel.m_handle, children[1]->m_parentHandle);
    EXPECT_EQ(host, button->m_hostWindow);
    EXPECT_EQ(2u, AsContainer(children[1].get())->Children().size());

    // A new host reaches every item below.
    HWND other = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5678));
    layout.panel.SetHostWindow(other);
    EXPECT_EQ(other, layout.Item(5)->m_hostWindow);
}

TEST_F(SkLayoutTest, NestedPanelsPlaceTheirChildrenInsideTheirMargins)
{
    TestLayout layout(R"(<body>
        <dlg id="10" class="margins" pos="100,50,-100,-50">
            <text id="1" width="20" height="10"/>
            <text id="2" pos="-0,-0,-0,-0"/>
            <dlg id="11" pos="|-10,|-10,|10,|10"><text id="3" pos="1,1,-1,-1"/></dlg>
        </dlg>
    </body>)");
    EXPECT_EQ((RECT{100, 50, 300, 250}), layout.RectOf(10));
    EXPECT_EQ((RECT{104, 55, 124, 65}), layout.RectOf(1));
    EXPECT_EQ((RECT{296, 245, 296, 245}), layout.RectOf(2));
    EXPECT_EQ((RECT{190, 140, 210, 160}), layout.RectOf(11));
    EXPECT_EQ((RECT{191, 141, 209, 159}), layout.RectOf(3));

    // Every placement of a panel places all below it again.
    layout.Place(600, 400);
    EXPECT_EQ((RECT{100, 50, 500, 350}), layout.RectOf(10));
    EXPECT_EQ((RECT{290, 190, 310, 210}), layout.RectOf(11));
}

TEST_F(SkLayoutTest, HitTestingPrefersFloatingThenDocumentOrder)
{
    TestLayout layout(R"(<body>
        <text id="1" pos="0,0,100,100"/>
        <text id="2" pos="50,50,150,150"/>
        <text id="3" pos="60,60,90,90" float="1"/>
        <text id="4" pos="200,0,300,100" transparent="1"/>
        <text id="5" pos="0,200,100,300" show="0"/>
        <dlg id="6" pos="200,200,300,300" onlydrawchild="1"><text id="7" pos="0,0,-0,-0"/></dlg>
        <dlg id="8" pos="300,0,400,100"><text id="9" pos="10,10,20,20"/></dlg>
    </body>)");
    // A pos'd item is neither floating nor explicitly not: float is read only without pos.
    layout.Item(3)->m_layoutFlags |= SKL_FLOATING;
    struct Case {
        POINT point;
        UINT id; // 0: the body itself
    };
    const Case cases[] = {
        {At(10, 10), 1},  {At(70, 70), 3},   {At(95, 95), 1},  {At(120, 120), 2}, {At(250, 50), 0},
        {At(50, 250), 0}, {At(250, 250), 6}, {At(315, 15), 9}, {At(350, 50), 8},
    };
    for (const Case& c : cases) {
        const UINT expected = c.id ? layout.Item(c.id)->m_handle : layout.panel.m_handle;
        EXPECT_EQ(expected, layout.panel.HitTest(c.point)) << c.point.x << "," << c.point.y;
    }
    EXPECT_EQ(0u, layout.panel.HitTest(At(500, 10)));
}

TEST_F(SkLayoutTest, FloatAttributeOrdersHitTestingWithoutPos)
{
    TestLayout layout(R"(<body>
        <text id="1" width="50" height="50"/>
        <text id="2" width="50" height="50" float="1"/>
    </body>)");
    EXPECT_EQ(layout.Item(2)->m_handle, layout.panel.HitTest(At(10, 10)));
}

TEST_F(SkLayoutTest, FindItemByIdAsksDirectChildrenBeforeGrandchildren)
{
    TestLayout layout(R"(<body id="5">
        <dlg id="10"><text id="5"/><text id="7"/></dlg>
        <dlg id="11"><dlg id="12"><text id="8"/></dlg></dlg>
        <text id="5" width="33"/>
        <dlg id="13"><text id="8"/></dlg>
    </body>)");
    ASSERT_TRUE(layout.Item(5));
    EXPECT_EQ(33, layout.Item(5)->m_rect.right - layout.Item(5)->m_rect.left);
    EXPECT_EQ(layout.Item(12)->m_handle, layout.Item(8)->m_parentHandle); // depth first, in order
    EXPECT_EQ(layout.Item(10)->m_handle, layout.Item(7)->m_parentHandle);
    EXPECT_EQ(nullptr, layout.Item(99));
}

TEST_F(SkLayoutTest, PanelsDrawChildrenOverTheirBackgroundWithTheirTextStyle)
{
    TestLayout layout(R"(<body class="blue">
        <text id="1" pos="0,0,10,10" crbg="FF0000"/>
        <text id="2" pos="5,5,15,15" crbg="00FF00"/>
        <text id="3" pos="0,15,5,20" crbg="FFFF00" show="0"/>
        <text id="4" pos="10,0,20,10">WW</text>
    </body>)",
                      20, 20);
    DibCanvas canvas(20, 20);
    EXPECT_TRUE(layout.panel.DrawInRegion(canvas.Dc(), nullptr));
    EXPECT_EQ(RGB(0xFF, 0, 0), canvas.Pixel(1, 1));
    EXPECT_EQ(RGB(0, 0xFF, 0), canvas.Pixel(7, 7));  // the later child paints over the earlier
    EXPECT_EQ(RGB(0, 0, 0xFF), canvas.Pixel(2, 17)); // the hidden child is not drawn
    int white = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 15; x < 20; ++x)
            white += canvas.Pixel(x, y) == RGB(0xFF, 0xFF, 0xFF);
    EXPECT_GT(white, 0); // item 4 has no colour of its own: the panel's crtext
    EXPECT_EQ(CLR_INVALID, layout.Item(4)->m_style.crtext);

    // Only what meets the region is drawn.
    canvas.Fill(RGB(1, 2, 3));
    HRGN region = CreateRectRgn(0, 0, 4, 4);
    EXPECT_TRUE(layout.panel.DrawInRegion(canvas.Dc(), region));
    EXPECT_FALSE(layout.Item(2)->DrawInRegion(canvas.Dc(), region));
    DeleteObject(region);
}

TEST_F(SkLayoutTest, MouseMovesReachTheVisibleChildrenUnderThePoint)
{
    CSkDialog panel;
    panel.m_rect = {0, 0, 100, 100};
    CRecordingItem* under = AddRecordingChild(panel, {0, 0, 50, 50}, 1);
    CRecordingItem* alsoUnder = AddRecordingChild(panel, {10, 10, 60, 60}, 2);
    CRecordingItem* hidden = AddRecordingChild(panel, {0, 0, 50, 50}, 3);
    hidden->m_state |= SKS_HIDDEN;
    CRecordingItem* away = AddRecordingChild(panel, {70, 70, 90, 90}, 4);
    panel.SendSkMessage(SKM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(std::vector<UINT>{SKM_MOUSEMOVE}, under->messages);
    EXPECT_EQ(std::vector<UINT>{SKM_MOUSEMOVE}, alsoUnder->messages);
    EXPECT_TRUE(hidden->messages.empty());
    EXPECT_TRUE(away->messages.empty());
}

TEST_F(SkLayoutTest, DestroyingAPanelDropsItsChildren)
{
    auto panel = std::make_unique<CSkDialog>();
    CRecordingItem* child = AddRecordingChild(*panel, {}, 1);
    const UINT childHandle = child->m_handle;
    panel->SendSkMessage(SKM_DESTROY);
    EXPECT_TRUE(panel->Children().empty());
    EXPECT_EQ(nullptr, FindSkWindow(childHandle));

    // A panel going away takes its children with it too.
    AddRecordingChild(*panel, {}, 2);
    const UINT second = panel->Children()[0]->m_handle;
    panel.reset();
    EXPECT_EQ(nullptr, FindSkWindow(second));
}

namespace {

// Real child windows of a host, as a view has them.
class RealWindowsTest : public SkLayoutTest {
protected:
    void SetUp() override
    {
        SkLayoutTest::SetUp();
        host =
            CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(host);
        for (int id : {21, 22, 23})
            CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, host,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    void TearDown() override { DestroyWindow(host); }

    bool Visible(int id) { return (GetWindowLongW(GetDlgItem(host, id), GWL_STYLE) & WS_VISIBLE) != 0; }

    HWND host = nullptr;
};

} // namespace

TEST_F(RealWindowsTest, PanelsShowAndHideTheRealWindowsBelowThem)
{
    CSkDialog body;
    body.SetHostWindow(host);
    AddRecordingChild(body, {}, 21, "realwnd");
    auto nested = std::make_unique<CSkDialog>();
    CSkDialog* inner = nested.get();
    inner->m_parentHandle = body.m_handle;
    inner->SetHostWindow(host);
    body.AppendChild(std::move(nested));
    AddRecordingChild(*inner, {}, 22, "realwnd");
    CRecordingItem* hiddenOne = AddRecordingChild(*inner, {}, 23, "realwnd");
    hiddenOne->m_state |= SKS_HIDDEN;

    body.SendSkMessage(SKM_SHOW, TRUE);
    EXPECT_TRUE(Visible(21));
    EXPECT_TRUE(Visible(22));
    EXPECT_FALSE(Visible(23));

    // A hidden nested panel hides its windows, however the outer one is shown.
    inner->SendSkMessage(SKM_SHOW, FALSE);
    EXPECT_TRUE(inner->m_state & SKS_HIDDEN);
    EXPECT_FALSE(Visible(22));
    body.ShowRealWindows(TRUE);
    EXPECT_TRUE(Visible(21));
    EXPECT_FALSE(Visible(22));

    body.SendSkMessage(SKM_SHOW, FALSE);
    EXPECT_FALSE(Visible(21));
}

TEST_F(RealWindowsTest, PanelXmlReplacesThePanelsChildren)
{
    CSkDialog header, body, footer;
    for (CSkDialog* top : {&header, &body, &footer})
        top->SetHostWindow(host);
    TiXmlDocument doc;
    ASSERT_TRUE(ParseSkinXml(
        R"(<body><dlg id="40" pos="10,10,-10,-10"><text id="1"/></dlg><text id="41"/></body>)", doc));
    body.LoadFromXml(RootElement(doc));
    body.ApplyAttribute("pos", "0,0,-0,-0", TRUE);
    WINDOWPOS place = {0, 0, 0, 0, 200, 100, 0};
    body.SendSkMessage(SKM_PLACE, 0, reinterpret_cast<LPARAM>(&place));
    const UINT oldChild = body.FindItemById(1)->m_handle;

    struct Refused {
        UINT id;
        const char* xml;
    };
    const Refused refused[] = {
        {40, "<text id=\"2\""},   // does not parse
        {41, "<text id=\"2\"/>"}, // not a panel
        {99, "<text id=\"2\"/>"}, // no such item
    };
    for (const Refused& r : refused) {
        EXPECT_EQ(nullptr, ReplacePanelChildren({&header, &body, &footer}, r.id, r.xml)) << r.id;
        EXPECT_EQ(oldChild, body.FindItemById(1)->m_handle);
    }

    CSkWindow* panel =
        ReplacePanelChildren({&header, &body, &footer}, 40,
                             R"(<?xml version="1.0"?><text id="2" pos="5,5,15,15"/><realwnd id="21"/>)");
    ASSERT_EQ(body.FindItemById(40), panel);
    EXPECT_EQ(nullptr, body.FindItemById(1));
    EXPECT_EQ(nullptr, FindSkWindow(oldChild));
    ASSERT_TRUE(body.FindItemById(2));
    EXPECT_EQ((RECT{15, 15, 25, 25}), body.FindItemById(2)->m_rect);
    EXPECT_EQ(host, body.FindItemById(2)->m_hostWindow);
}
