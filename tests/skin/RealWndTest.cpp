#include "ItemHost.h"
#include "ItemTestSupport.h"
#include "TestLayout.h"

#include <gtest/gtest.h>

#include "skin/SkRealWnd.h"

namespace {

class RealWndTest : public ::testing::Test {
protected:
    void SetUp() override { LoadItemStyles(); }

    bool Visible(HWND hwnd) const { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

    ItemHost host;
};

} // namespace

TEST_F(RealWndTest, PlacingMovesTheRealWindowAndTellsTheView)
{
    HWND edit = host.AddEdit(21, WS_CHILD | WS_VISIBLE | WS_BORDER);
    ASSERT_TRUE(edit);
    TestLayout layout(R"(<body class="margins">
        <realwnd id="21" pos="10,20,-30,45"/>
        <realwnd id="22" pos="0,0,50,50"/>
    </body>)",
                      400, 300, host.view);
    // Inner rectangle {3, 4, 397, 296}.
    const RECT expected = {13, 24, 367, 49};
    EXPECT_EQ(expected, layout.RectOf(21));
    EXPECT_EQ(expected, host.ChildRect(edit));
    EXPECT_TRUE(Visible(edit));

    const std::vector<ItemNotice> moved = host.Of(SKN_REALWND_MOVED);
    ASSERT_EQ(2u, moved.size());
    EXPECT_EQ(21u, moved[0].value);
    EXPECT_EQ(expected, moved[0].rect);
    EXPECT_EQ(host.view, moved[0].from);
    EXPECT_EQ(IDC_SKIN_VIEW, moved[0].idFrom);
    EXPECT_EQ(IDC_SKIN_VIEW, moved[0].wParam);
    // Without its window the item is still placed and the view still told.
    EXPECT_EQ(22u, moved[1].value);
    EXPECT_EQ((RECT{3, 4, 53, 54}), moved[1].rect);

    // The same place again: nothing moves, nobody is told.
    host.notices.clear();
    layout.Place(400, 300);
    EXPECT_TRUE(host.Of(SKN_REALWND_MOVED).empty());

    // A new size moves the window along with the layout.
    layout.Place(500, 200);
    ASSERT_EQ(1u, host.Of(SKN_REALWND_MOVED).size());
    EXPECT_EQ((RECT{13, 24, 467, 49}), host.ChildRect(edit));
    EXPECT_EQ((RECT{13, 24, 467, 49}), host.Of(SKN_REALWND_MOVED)[0].rect);
}

TEST_F(RealWndTest, ShowingAndHidingFollowTheItemAndItsPanels)
{
    HWND edit = host.AddEdit(21);
    TestLayout layout(R"(<body><dlg id="5"><realwnd id="21" pos="0,0,10,10"/></dlg></body>)", 100, 100,
                      host.view);
    CSkWindow* item = layout.Item(21);
    CSkWindow* panel = layout.Item(5);

    item->SendSkMessage(SKM_SHOW, TRUE);
    EXPECT_TRUE(Visible(edit));
    item->SendSkMessage(SKM_SHOW, FALSE);
    EXPECT_FALSE(Visible(edit));
    EXPECT_TRUE(item->m_state & SKS_HIDDEN);

    // Under a hidden panel the item is marked shown but its window waits.
    panel->m_state |= SKS_HIDDEN;
    item->SendSkMessage(SKM_SHOW, TRUE);
    EXPECT_FALSE(item->m_state & SKS_HIDDEN);
    EXPECT_FALSE(Visible(edit));
    panel->SendSkMessage(SKM_SHOW, TRUE);
    EXPECT_TRUE(Visible(edit));

    // The item never draws its text.
    item->m_text = L"WWW";
    item->ApplyAttribute("crtext", "FF0000", FALSE);
    ItemCanvas canvas(100, 100);
    canvas.Draw(*item);
    EXPECT_EQ(0, canvas.CountOtherThan(RGB(1, 2, 3)));

    // When the item goes, its window is hidden, not destroyed.
    layout.panel.SendSkMessage(SKM_DESTROY);
    EXPECT_TRUE(IsWindow(edit));
    EXPECT_FALSE(Visible(edit));
}
