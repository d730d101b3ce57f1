// The round-rect frame in real windows under Xvfb: the cut corners of the
// region, when the region is made again, the resize zones and their
// cursors, dragging by the body, maximise on a double click, the smallest
// size, and that a press which became a move or size loop is never a
// click. System commands are taken by the test dialog, so the system's
// loops never run.
#include "SkinDialogFixture.h"

#include "TestLayout.h"
#include "base/Handle.h"

namespace {

// The main window's shape: 960 x 660, sizeable, body from y = 30.
const char kSizeableLayout[] = R"(<layer width="960" height="660" resize="1" noborder="1">
    <header height="30" crbg="203040"/>
    <body crbg="F0F0F0">
        <button id="21" pos="0,100,60,140"/>
        <text id="22" pos="100,100,200,140">文字</text>
        <link id="23" pos="300,100,360,140">链接</link>
        <check id="26" pos="700,100,800,130">选项</check>
        <tabctrl id="24" pos="400,100,600,300" tabwidth="50" tabheight="20">
            <tab title="一"><text id="25" pos="10,10,60,40">页</text></tab>
        </tabctrl>
    </body>
</layer>)";

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.m_view.SetLayoutXml(kSizeableLayout));
        ASSERT_TRUE(dialog.Create(nullptr));
        view = dialog.m_view.m_hWnd;
        PumpPending();
        dialog.notifications.clear();
    }
    void TearDown() override
    {
        if (dialog.m_hWnd)
            DestroyWindow(dialog.m_hWnd);
        PumpPending();
    }

    // A press as the user makes it; the posted button-up of the frame is
    // handled before the release comes.
    void PressAndRelease(int x, int y)
    {
        Press(view, x, y);
        PumpPending();
        Release(view, x, y);
    }

    CSizeableTestDialog dialog;
    HWND view = nullptr;
};

bool InRegion(HWND hwnd, int x, int y)
{
    CRgnHandle region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(hwnd, region) == ERROR)
        return true; // no region: the whole window
    return PtInRegion(region, x, y) != FALSE;
}

} // namespace

TEST_F(FrameTest, TheRegionCutsTwoPixelsOffTheFirstAndLastRowsAndOneOffTheNext)
{
    HWND hwnd = dialog.m_hWnd;
    EXPECT_EQ(960, dialog.m_cx);
    EXPECT_EQ(660, dialog.m_cy);
    const POINT cut[] = {{0, 0},   {1, 0},   {0, 1},   {959, 0},   {958, 0},   {959, 1},
                         {0, 659}, {1, 659}, {0, 658}, {959, 659}, {958, 659}, {959, 658}};
    for (POINT p : cut)
        EXPECT_FALSE(InRegion(hwnd, p.x, p.y)) << p.x << "," << p.y;
    const POINT kept[] = {{1, 1},   {2, 0},   {0, 2},     {957, 0},   {958, 1}, {959, 2},
                          {1, 658}, {2, 659}, {958, 658}, {957, 659}, {0, 657}, {480, 330}};
    for (POINT p : kept)
        EXPECT_TRUE(InRegion(hwnd, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_FALSE(InRegion(hwnd, 960, 10));
    EXPECT_FALSE(InRegion(hwnd, 10, 660));
}

TEST_F(FrameTest, TheRegionIsMadeAgainOnlyForANewSize)
{
    HWND hwnd = dialog.m_hWnd;
    // A marker region: a WM_SIZE that rebuilds replaces it.
    SetWindowRgn(hwnd, CreateRectRgn(0, 0, 10, 10), FALSE);
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(960, 660));
    EXPECT_FALSE(InRegion(hwnd, 100, 100));
    SendMessageW(hwnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    EXPECT_FALSE(InRegion(hwnd, 100, 100));
    EXPECT_EQ(960, dialog.m_cx);

    dialog.ResizeClient(1000, 700);
    EXPECT_EQ(1000, dialog.m_cx);
    EXPECT_EQ(700, dialog.m_cy);
    EXPECT_TRUE(InRegion(hwnd, 100, 100));
    EXPECT_TRUE(InRegion(hwnd, 997, 0));
    EXPECT_FALSE(InRegion(hwnd, 998, 0));
    EXPECT_FALSE(InRegion(hwnd, 999, 699));
}

TEST_F(FrameTest, SizingStopsAtTheSmallestSize)
{
    struct {
        RECT in;
        RECT out;
    } cases[] = {
        {{10, 20, 500, 300}, {10, 20, 970, 680}},     {{10, 20, 970, 680}, {10, 20, 970, 680}},
        {{0, 0, 961, 661}, {0, 0, 961, 661}},         {{0, 0, 1200, 300}, {0, 0, 1200, 660}},
        {{-50, -40, 100, 900}, {-50, -40, 910, 900}},
    };
    for (auto& c : cases) {
        RECT rect = c.in;
        EXPECT_EQ(TRUE,
                  SendMessageW(dialog.m_hWnd, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&rect)));
        EXPECT_EQ(c.out, rect) << c.in;
    }
}

TEST_F(FrameTest, APressOnTheBorderSizesTheWindowFromThatEdge)
{
    struct {
        int x, y;
        WPARAM command;
    } cases[] = {
        {0, 0, 0xF004},     {4, 4, 0xF004},     {2, 659, 0xF007},   {3, 300, 0xF001},
        {959, 2, 0xF005},   {956, 659, 0xF008}, {958, 300, 0xF002}, {480, 0, 0xF003},
        {480, 656, 0xF006}, {2, 150, 0xF001}, // the border wins over the button under it
    };
    for (const auto& c : cases) {
        dialog.sysCommands.clear();
        PressAndRelease(c.x, c.y);
        ASSERT_EQ(1u, dialog.sysCommands.size()) << c.x << "," << c.y;
        EXPECT_EQ(c.command, dialog.sysCommands[0]) << c.x << "," << c.y;
        EXPECT_NE(view, GetCapture());
    }
    EXPECT_TRUE(dialog.Clicks().empty()) << "a press that sized the window became a click";
}

TEST_F(FrameTest, APressOnTheBodyMovesTheWindowUnlessTheItemTakesClicks)
{
    // The body's background and a text with an id move the window, and
    // neither becomes a click afterwards.
    PressAndRelease(480, 400);
    PressAndRelease(150, 150);
    ASSERT_EQ(2u, dialog.sysCommands.size());
    EXPECT_EQ(static_cast<WPARAM>(0xF012), dialog.sysCommands[0]);
    EXPECT_EQ(static_cast<WPARAM>(0xF012), dialog.sysCommands[1]);
    EXPECT_TRUE(dialog.Clicks().empty()) << "a press that moved the window became a click";
    EXPECT_EQ(0u, dialog.m_view.m_pushedHandle);
    EXPECT_EQ(0u, dialog.m_view.FindItem(22)->m_state & SKS_PUSHED);

    // A page of the tab control is background too.
    dialog.sysCommands.clear();
    PressAndRelease(450, 200);
    EXPECT_EQ(1u, dialog.sysCommands.size());

    // Buttons, links and the tab strip take their presses.
    dialog.sysCommands.clear();
    PressAndRelease(30, 150);
    PressAndRelease(330, 150);
    PressAndRelease(420, 140);
    EXPECT_TRUE(dialog.sysCommands.empty());
    auto clicks = dialog.Clicks();
    ASSERT_EQ(3u, clicks.size());
    EXPECT_EQ(21u, clicks[0].itemId);
    EXPECT_EQ(23u, clicks[1].itemId);
    EXPECT_EQ(24u, clicks[2].itemId);
    EXPECT_EQ("tabctrl", clicks[2].itemClass);

    // A check box toggles and never drags.
    dialog.notifications.clear();
    PressAndRelease(720, 145);
    EXPECT_TRUE(dialog.sysCommands.empty());
    EXPECT_TRUE(dialog.m_view.FindItem(26)->m_state & SKS_CHECKED);
    ASSERT_EQ(1u, dialog.Clicks().size());
    EXPECT_EQ("check", dialog.Clicks()[0].itemClass);

    // The header drags as usual, once.
    dialog.sysCommands.clear();
    PressAndRelease(480, 15);
    ASSERT_EQ(1u, dialog.sysCommands.size());
    EXPECT_EQ(static_cast<WPARAM>(0xF012), dialog.sysCommands[0]);

    // Maximised, the body does not move the window.
    dialog.sysCommands.clear();
    SetWindowLongPtrW(dialog.m_hWnd, GWL_STYLE, GetWindowLongPtrW(dialog.m_hWnd, GWL_STYLE) | WS_MAXIMIZE);
    PressAndRelease(480, 400);
    EXPECT_TRUE(dialog.sysCommands.empty());
}

TEST_F(FrameTest, DoubleClickingTheBodyBackgroundMaximisesAndRestores)
{
    SendMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(480, 400));
    SendMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(30, 150)); // a button
    ASSERT_EQ(1u, dialog.sysCommands.size());
    EXPECT_EQ(static_cast<WPARAM>(0xF032), dialog.sysCommands[0]);
    SetWindowLongPtrW(dialog.m_hWnd, GWL_STYLE, GetWindowLongPtrW(dialog.m_hWnd, GWL_STYLE) | WS_MAXIMIZE);
    SendMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(480, 400));
    ASSERT_EQ(2u, dialog.sysCommands.size());
    EXPECT_EQ(static_cast<WPARAM>(0xF122), dialog.sysCommands[1]);

    dialog.sysCommands.clear();
    dialog.m_view.m_maximisable = FALSE; // "nomaxsize"
    SendMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(480, 400));
    EXPECT_TRUE(dialog.sysCommands.empty());
}

TEST(FrameZonesTest, TheCursorFollowsTheZone)
{
    const int cx = 960;
    const int cy = 660;
    struct {
        int x, y;
        LPCWSTR cursor;
    } cases[] = {
        {0, 0, IDC_SIZENWSE},   {4, 4, IDC_SIZENWSE},   {0, 656, IDC_SIZENESW},   {0, 300, IDC_SIZEWE},
        {959, 0, IDC_SIZENESW}, {959, 4, IDC_SIZENESW}, {959, 656, IDC_SIZENWSE}, {959, 300, IDC_SIZEWE},
        {963, 300, IDC_SIZEWE}, {480, 0, IDC_SIZENS},   {480, 656, IDC_SIZENS},   {480, 663, IDC_SIZENS},
        {480, 5, nullptr},      {5, 300, nullptr},      {955, 300, nullptr},      {480, 655, nullptr},
        {480, 665, nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.cursor, FrameZoneCursor(POINT{c.x, c.y}, cx, cy)) << c.x << "," << c.y;
    EXPECT_EQ(0u, FrameZoneCommand(POINT{5, 5}, cx, cy));
    EXPECT_EQ(0u, FrameZoneCommand(POINT{955, 655}, cx, cy));
}

TEST_F(FrameTest, TheCursorOverTheBorderIsASizingOne)
{
    RECT window;
    GetWindowRect(dialog.m_hWnd, &window);
    SetWindowPos(dialog.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetCursorPos(window.left + 2, window.top + 300);
    SendMessageW(view, WM_SETCURSOR, reinterpret_cast<WPARAM>(view), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_SIZEWE), GetCursor());
    SetCursorPos(window.left + 480, window.top + 400);
    SendMessageW(view, WM_SETCURSOR, reinterpret_cast<WPARAM>(view), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), GetCursor());
}
