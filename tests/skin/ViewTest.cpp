// The dialog view in a real window under Xvfb: placing of the three
// panels, pixels through WM_PRINT, mouse messages sent to the view (hover,
// press, click, leave, caption drag), the notifications and their records,
// the tooltip, the helpers by id, panel replacement and a hosted EDIT.
#include "SkinDialogFixture.h"

#include <commctrl.h>

#include "TestLayout.h"
#include "base/NotifyRecord.h"
#include "skin/SkItemRegistry.h"
#include "skin/SkStylePool.h"
#include "skin/SkTabCtrl.h"
#include "tests/base/TestWindows.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/TempFolder.h"

namespace {

const char kStyles[] = R"(<style>
    <class name="hot" crbg="00FF00" crbghover="FF0000"/>
    <class name="tipped" crbg="0000FF"/>
</style>)";

// 300 x 200: header 0-30, body 30-160, footer 160-200.
const char kViewLayout[] = R"(<layer title="视图测试" width="300" height="200" noborder="1">
    <header height="30" crbg="102030">
        <text id="11" pos="5,5,45,25">标题</text>
        <button id="12" pos="250,5,280,25" class="hot" tip="关闭"/>
        <link id="13" pos="200,5,240,25">链接</link>
        <tabctrl id="14" pos="100,0,190,30" tabwidth="40" tabheight="30">
            <tab title="一"/><tab title="二"/>
        </tabctrl>
    </header>
    <body crbg="405060">
        <button id="21" pos="10,10,60,40" class="hot" tip="按钮"/>
        <text id="22" pos="70,10,120,40" crbg="708090">文字</text>
        <button id="23" pos="130,10,180,40" class="hot" tip="停用"/>
        <text pos="190,10,240,40" crbg="708090"/>
        <dlg id="26" pos="100,60,200,120" crbg="112233">
            <button id="27" pos="0,0,20,20" class="hot"/>
        </dlg>
        <text id="28" pos="10,90">自动</text>
    </body>
    <footer height="40" crbg="A0B0C0">
        <button id="31" pos="10,5,60,35" class="hot"/>
        <button id="22" pos="70,5,120,35"/>
    </footer>
</layer>)";

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SkStylePool::Instance().LoadXml(kStyles);
        ParkPointer();
        ASSERT_TRUE(dialog.m_view.SetLayoutXml(kViewLayout));
        ASSERT_TRUE(dialog.Create(nullptr));
        SetWindowPos(dialog.m_hWnd, HWND_TOPMOST, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        view = dialog.m_view.m_hWnd;
        ASSERT_TRUE(view);
        ASSERT_TRUE(SettleRealPointer(dialog.m_view)) << "the view still tracks a hover of the real pointer";
        dialog.notifications.clear();
    }
    void TearDown() override
    {
        if (dialog.m_hWnd)
            DestroyWindow(dialog.m_hWnd);
        PumpPending();
    }

    CSkWindow* Item(UINT id) { return dialog.m_view.FindItem(id); }
    UINT StateOf(UINT id) { return Item(id) ? Item(id)->m_state : 0xFFFFFFFF; }

    void Print(DibCanvas& canvas)
    {
        SendMessageW(view, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    }

    CTestDialog dialog;
    HWND view = nullptr;
};

} // namespace

TEST_F(ViewTest, TheViewIsTheClientAreaAndPlacesHeaderFooterAndBody)
{
    RECT client;
    GetClientRect(dialog.m_hWnd, &client);
    RECT window;
    GetWindowRect(dialog.m_hWnd, &window);
    EXPECT_EQ((RECT{0, 0, 300, 200}), client);
    EXPECT_EQ(300, window.right - window.left);
    EXPECT_EQ(200, window.bottom - window.top);

    EXPECT_EQ(IDC_SKIN_VIEW, static_cast<UINT>(GetDlgCtrlID(view)));
    EXPECT_EQ(kSkinViewStyle, static_cast<DWORD>(GetWindowLongPtrW(view, GWL_STYLE)) & kSkinViewStyle);
    RECT viewRect;
    GetClientRect(view, &viewRect);
    EXPECT_EQ(client, viewRect);
    wchar_t title[32] = {};
    GetWindowTextW(dialog.m_hWnd, title, 32);
    EXPECT_STREQ(L"视图测试", title);

    EXPECT_EQ((RECT{0, 0, 300, 30}), dialog.m_view.m_header.m_rect);
    EXPECT_EQ((RECT{0, 160, 300, 200}), dialog.m_view.m_footer.m_rect);
    EXPECT_EQ((RECT{0, 30, 300, 160}), dialog.m_view.m_body.m_rect);
    EXPECT_EQ((RECT{10, 40, 60, 70}), Item(21)->m_rect);
    EXPECT_EQ((RECT{100, 90, 200, 150}), Item(26)->m_rect);
    EXPECT_EQ((RECT{100, 90, 120, 110}), Item(27)->m_rect);
    EXPECT_EQ((RECT{10, 165, 60, 195}), Item(31)->m_rect);
    // An id in the body and the footer is the body's.
    EXPECT_EQ((RECT{70, 40, 120, 70}), Item(22)->m_rect);
}

TEST_F(ViewTest, PixelsComeFromTheBackBufferThroughWmPrint)
{
    DibCanvas canvas(300, 200);
    Print(canvas);
    struct {
        int x, y;
        COLORREF colour;
    } expected[] = {
        {1, 1, RGB(0x10, 0x20, 0x30)},   {299, 29, RGB(0x10, 0x20, 0x30)},
        {1, 30, RGB(0x40, 0x50, 0x60)},  {299, 159, RGB(0x40, 0x50, 0x60)},
        {1, 160, RGB(0xA0, 0xB0, 0xC0)}, {299, 199, RGB(0xA0, 0xB0, 0xC0)},
        {11, 41, RGB(0, 0xFF, 0)},       {59, 69, RGB(0, 0xFF, 0)},
        {60, 70, RGB(0x40, 0x50, 0x60)}, {150, 100, RGB(0x11, 0x22, 0x33)},
        {105, 95, RGB(0, 0xFF, 0)},      {255, 10, RGB(0, 0xFF, 0)},
    };
    for (const auto& e : expected)
        EXPECT_EQ(ColourText(e.colour), ColourText(canvas.Pixel(e.x, e.y))) << e.x << "," << e.y;

    // Hovering the button repaints it in its hover colour; the rest of the
    // back buffer is kept.
    MouseMove(view, 20, 50);
    EXPECT_TRUE(StateOf(21) & SKS_HOVER);
    DibCanvas after(300, 200);
    Print(after);
    EXPECT_EQ("FF0000", ColourText(after.Pixel(20, 50)));
    EXPECT_EQ("00FF00", ColourText(after.Pixel(140, 50))); // button 23
    EXPECT_EQ("405060", ColourText(after.Pixel(5, 35)));
}

TEST_F(ViewTest, OnlyTheDirtyRegionIsRenderedAgain)
{
    DibCanvas canvas(300, 200);
    Print(canvas);
    // Paint over the back buffer behind the view's back, then dirty one item:
    // the next render touches that item's rectangle only.
    {
        CWindowDc screen(nullptr);
        CMemoryDc dc(CreateCompatibleDC(screen));
        CSelectObject select(dc, dialog.m_view.m_backBuffer);
        RECT all = {0, 0, 300, 200};
        SetBkColor(dc, RGB(9, 9, 9));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    }
    dialog.m_view.RedrawItem(Item(21), TRUE);
    DibCanvas after(300, 200);
    Print(after);
    EXPECT_EQ("00FF00", ColourText(after.Pixel(20, 50)));
    EXPECT_EQ("090909", ColourText(after.Pixel(5, 35)));
    EXPECT_EQ("090909", ColourText(after.Pixel(20, 180)));

    dialog.m_view.InvalidateLayout();
    DibCanvas whole(300, 200);
    Print(whole);
    EXPECT_EQ("405060", ColourText(whole.Pixel(5, 35)));
    EXPECT_EQ("A0B0C0", ColourText(whole.Pixel(20, 199)));
}

TEST_F(ViewTest, AZeroWidthViewKeepsNoBackBufferAndPaintsNothing)
{
    MoveWindow(view, 0, 0, 0, 100, FALSE);
    EXPECT_FALSE(dialog.m_view.m_backBuffer);
    DibCanvas canvas(50, 50, RGB(1, 2, 3));
    Print(canvas);
    EXPECT_EQ(0, canvas.CountOtherThan(RGB(1, 2, 3)));
    MoveWindow(view, 0, 0, 300, 200, FALSE);
    EXPECT_TRUE(dialog.m_view.m_backBuffer);
}

TEST_F(ViewTest, AClickNotifiesTheParentWithTheItemIdAndTag)
{
    struct {
        int x, y;
        UINT id;
        const char* tag;
    } cases[] = {
        {20, 50, 21, "button"},   // body button
        {80, 50, 22, "text"},     // a body text with an id is clickable
        {110, 100, 27, "button"}, // nested panel
        {20, 170, 31, "button"},  // footer
        {260, 10, 12, "button"},  // header button
        {210, 10, 13, "link"},    // header link
    };
    for (const auto& c : cases) {
        dialog.notifications.clear();
        Click(view, c.x, c.y);
        auto clicks = dialog.Clicks();
        ASSERT_EQ(1u, clicks.size()) << c.id;
        EXPECT_EQ(view, clicks[0].from);
        EXPECT_EQ(IDC_SKIN_VIEW, clicks[0].idFrom);
        EXPECT_EQ(IDC_SKIN_VIEW, clicks[0].wParam);
        EXPECT_EQ(c.id, clicks[0].itemId);
        EXPECT_EQ(c.tag, clicks[0].itemClass);
        EXPECT_EQ(0u, StateOf(c.id) & SKS_PUSHED) << c.id;
        EXPECT_EQ(0u, dialog.m_view.m_pushedHandle);
        EXPECT_NE(view, GetCapture());
    }
    EXPECT_TRUE(dialog.sysCommands.empty());

    // No id, or a panel's background: no notification.
    dialog.notifications.clear();
    for (POINT p : {POINT{200, 50}, POINT{250, 140}, POINT{90, 150}}) {
        Click(view, p.x, p.y);
        EXPECT_TRUE(dialog.Clicks().empty()) << p.x << "," << p.y << ": " << dialog.Clicks()[0].itemId;
    }
}

TEST_F(ViewTest, APressHoldsTheCaptureAndPushedBitUntilTheButtonUp)
{
    Press(view, 20, 50);
    EXPECT_EQ(view, GetCapture());
    EXPECT_TRUE(dialog.m_view.m_capture);
    EXPECT_TRUE(StateOf(21) & SKS_PUSHED);
    EXPECT_EQ(Item(21)->m_handle, dialog.m_view.m_pushedHandle);

    // Moving off and releasing there clicks nothing.
    MouseMove(view, 5, 35, MK_LBUTTON);
    Release(view, 5, 35);
    EXPECT_TRUE(dialog.Clicks().empty());
    EXPECT_FALSE(StateOf(21) & SKS_PUSHED);
    EXPECT_NE(view, GetCapture());

    // Moving off and back before releasing clicks.
    Press(view, 20, 50);
    MouseMove(view, 5, 35, MK_LBUTTON);
    MouseMove(view, 25, 55, MK_LBUTTON);
    Release(view, 25, 55);
    ASSERT_EQ(1u, dialog.Clicks().size());
    EXPECT_EQ(21u, dialog.Clicks()[0].itemId);
}

TEST_F(ViewTest, ADisabledItemIsHoveredForItsTipOnlyAndNeverClicked)
{
    Item(23)->m_state |= SKS_DISABLED;
    MouseMove(view, 140, 50);
    EXPECT_EQ(Item(23)->m_handle, dialog.m_view.m_hoverHandle);
    EXPECT_EQ(0u, StateOf(23) & SKS_HOVER);
    Click(view, 140, 50);
    EXPECT_TRUE(dialog.Clicks().empty());
    EXPECT_EQ(0u, StateOf(23) & SKS_PUSHED);

    // A disabled panel disables what is in it.
    Item(26)->m_state |= SKS_DISABLED;
    Click(view, 110, 100);
    EXPECT_TRUE(dialog.Clicks().empty());
    EXPECT_EQ(0u, StateOf(27) & SKS_HOVER);
}

TEST_F(ViewTest, HoverMovesFromItemToItemAndTheMouseLeavingClearsIt)
{
    MouseMove(view, 20, 50);
    ASSERT_EQ(1u, dialog.Only(SKN_VIEW_HOVER).size());
    EXPECT_EQ(view, dialog.Only(SKN_VIEW_HOVER)[0].from);
    EXPECT_TRUE(dialog.m_view.m_tracking);
    EXPECT_TRUE(StateOf(21) & SKS_HOVER);

    MouseMove(view, 140, 50);
    EXPECT_FALSE(StateOf(21) & SKS_HOVER);
    EXPECT_TRUE(StateOf(23) & SKS_HOVER);
    EXPECT_EQ(1u, dialog.Only(SKN_VIEW_HOVER).size()); // once per entry

    // Outside every panel (a point below the footer) the hover stays.
    SendMessageW(view, WM_MOUSEMOVE, 0, Point(150, 250));
    EXPECT_TRUE(StateOf(23) & SKS_HOVER);

    Press(view, 140, 50);
    SendMessageW(view, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(StateOf(23) & SKS_HOVER);
    EXPECT_FALSE(StateOf(23) & SKS_PUSHED);
    EXPECT_EQ(0u, dialog.m_view.m_hoverHandle);
    EXPECT_EQ(0u, dialog.m_view.m_pushedHandle);
    EXPECT_FALSE(dialog.m_view.m_tracking);
    ASSERT_EQ(1u, dialog.Only(SKN_VIEW_LEAVE).size());
    EXPECT_EQ(IDC_SKIN_VIEW, dialog.Only(SKN_VIEW_LEAVE)[0].idFrom);
    Release(view, 140, 50);
    EXPECT_TRUE(dialog.Clicks().empty());

    MouseMove(view, 20, 50);
    EXPECT_EQ(2u, dialog.Only(SKN_VIEW_HOVER).size());
}

TEST_F(ViewTest, TheTooltipShowsTheTipOfTheHoverItem)
{
    HWND tooltip = dialog.m_view.m_tooltip;
    ASSERT_TRUE(tooltip);
    EXPECT_EQ(dialog.m_hWnd, GetWindow(tooltip, GW_OWNER)); // the view's top-level window
    EXPECT_EQ(1, SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));

    auto tipText = [&]() {
        wchar_t text[80] = {};
        TOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.hwnd = dialog.m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(view);
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        return std::wstring(text);
    };
    MouseMove(view, 20, 50);
    EXPECT_EQ(L"按钮", tipText());
    MouseMove(view, 260, 10);
    EXPECT_EQ(L"关闭", tipText());
    // A disabled item still shows its tip.
    Item(23)->m_state |= SKS_DISABLED;
    MouseMove(view, 140, 50);
    EXPECT_EQ(L"停用", tipText());
    MouseMove(view, 5, 35);
    EXPECT_EQ(L"", tipText());
}

TEST_F(ViewTest, APressOnTheHeaderBackgroundOrAnItemThatTakesNoClicksDragsTheDialog)
{
    Press(view, 60, 10); // header background
    Press(view, 10, 10); // header text, id and all
    ASSERT_EQ(2u, dialog.sysCommands.size());
    EXPECT_EQ(static_cast<WPARAM>(0xF012), dialog.sysCommands[0]);
    EXPECT_EQ(static_cast<WPARAM>(0xF012), dialog.sysCommands[1]);
    EXPECT_NE(view, GetCapture());
    Release(view, 10, 10);
    EXPECT_TRUE(dialog.Clicks().empty());

    // Buttons, links and the tab control take the press themselves.
    dialog.sysCommands.clear();
    Press(view, 260, 10);
    Release(view, 260, 10);
    Press(view, 210, 10);
    Release(view, 210, 10);
    Press(view, 150, 10); // the second tab
    Release(view, 150, 10);
    EXPECT_TRUE(dialog.sysCommands.empty());
    EXPECT_EQ(3u, dialog.Clicks().size());
    auto changes = dialog.Only(SKN_TAB_CHANGING);
    ASSERT_EQ(1u, changes.size());
    EXPECT_EQ(14u, changes[0].itemId);
    EXPECT_EQ(1, changes[0].newSel);
    EXPECT_EQ(0, changes[0].oldSel);
    EXPECT_EQ(view, changes[0].from);
    EXPECT_EQ(1, static_cast<CSkTabCtrl*>(Item(14))->m_cursel);

    // No drag while the dialog is maximised.
    SetWindowLongPtrW(dialog.m_hWnd, GWL_STYLE, GetWindowLongPtrW(dialog.m_hWnd, GWL_STYLE) | WS_MAXIMIZE);
    Press(view, 60, 10);
    EXPECT_TRUE(dialog.sysCommands.empty());
}

TEST_F(ViewTest, ATabChangeTheOwnerRefusesKeepsThePage)
{
    dialog.vetoTabChange = TRUE;
    Click(view, 150, 10);
    ASSERT_EQ(1u, dialog.Only(SKN_TAB_CHANGING).size());
    EXPECT_EQ(0, static_cast<CSkTabCtrl*>(Item(14))->m_cursel);
    dialog.vetoTabChange = FALSE;
    EXPECT_TRUE(dialog.m_view.SetTabCurSel(14, 1));
    EXPECT_EQ(1, static_cast<CSkTabCtrl*>(Item(14))->m_cursel);
    EXPECT_FALSE(dialog.m_view.SetTabCurSel(21, 0)); // not a tab control
    EXPECT_FALSE(dialog.m_view.SetTabCurSel(999, 0));
}

TEST_F(ViewTest, DoubleClickingTheHeaderMaximisesAndRestoresOnlyWhenTheLayoutAllowsIt)
{
    SendMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(60, 10));
    EXPECT_TRUE(dialog.sysCommands.empty()); // no "resize" in this layout

    dialog.m_view.m_maximisable = TRUE;
    SendMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(60, 10));
    SendMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(260, 10)); // a button
    SendMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(20, 50));  // the body
    ASSERT_EQ(1u, dialog.sysCommands.size());
    EXPECT_EQ(static_cast<WPARAM>(0xF032), dialog.sysCommands[0]);

    SetWindowLongPtrW(dialog.m_hWnd, GWL_STYLE, GetWindowLongPtrW(dialog.m_hWnd, GWL_STYLE) | WS_MAXIMIZE);
    SendMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(60, 10));
    ASSERT_EQ(2u, dialog.sysCommands.size());
    EXPECT_EQ(static_cast<WPARAM>(0xF122), dialog.sysCommands[1]);
}

TEST_F(ViewTest, TheViewClassTakesDoubleClicks)
{
    EXPECT_TRUE(GetClassLongPtrW(view, GCL_STYLE) & CS_DBLCLKS);
}

TEST_F(ViewTest, AnItemWithAnHrefOpensItInsteadOfNotifying)
{
    // The href is a script that leaves a file behind; the test waits for it.
    CTempFolder folder;
    const CString script = folder / L"open.cmd";
    const CString marker = folder / L"opened.txt";
    WriteFileBytes(folder / L"open.cmd", "@echo opened> \"" + marker.ToUtf8() + "\"\r\n");
    ASSERT_TRUE(dialog.m_view.SetItemAttribute(21, "href", script.ToUtf8().c_str()));
    HANDLE change = FindFirstChangeNotificationW(folder.FolderPath(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    ASSERT_NE(INVALID_HANDLE_VALUE, change);
    Click(view, 20, 50);
    EXPECT_TRUE(dialog.Clicks().empty());
    bool opened = false;
    for (int round = 0; round < 20 && !opened; ++round) {
        opened = GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES;
        if (!opened && WaitForSingleObject(change, 1000) == WAIT_OBJECT_0)
            FindNextChangeNotification(change);
    }
    FindCloseChangeNotification(change);
    EXPECT_TRUE(opened);
}

TEST_F(ViewTest, NotificationsFromItemsAndChildrenGoOnToTheParent)
{
    // Codes other than 1000 reach the parent unchanged.
    SkRealWndMovedNotify moved = {};
    moved.hdr = {view, IDC_SKIN_VIEW, SKN_REALWND_MOVED};
    moved.itemId = 77;
    moved.rect = {1, 2, 3, 4};
    SendMessageW(view, WM_NOTIFY, IDC_SKIN_VIEW, reinterpret_cast<LPARAM>(&moved));
    auto records = dialog.Only(SKN_REALWND_MOVED);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(77u, records[0].itemId);
    EXPECT_EQ((RECT{1, 2, 3, 4}), records[0].rect);

    // Code 1000 is the view's own: it repaints the rectangle.
    dialog.m_view.m_dirty = FALSE;
    SkInvalidateRectNotify invalidate = {};
    invalidate.hdr = {nullptr, 27, SKN_INVALIDATE_RECT};
    invalidate.itemHandle = Item(27)->m_handle;
    invalidate.rect = {100, 90, 120, 110};
    SendNotifyRecord(view, 27, invalidate);
    EXPECT_TRUE(dialog.Only(SKN_INVALIDATE_RECT).empty());
    EXPECT_TRUE(dialog.m_view.m_dirty);
    ASSERT_TRUE(dialog.m_view.m_dirtyRegion);
    EXPECT_TRUE(PtInRegion(dialog.m_view.m_dirtyRegion, 110, 100));
    EXPECT_FALSE(PtInRegion(dialog.m_view.m_dirtyRegion, 130, 100));

    // Commands of real child windows go to the parent too.
    UINT commandId = 0;
    dialog.handler = [&](UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
        if (msg == WM_COMMAND)
            commandId = LOWORD(wParam);
        return FALSE;
    };
    SendMessageW(view, WM_COMMAND, MAKEWPARAM(4321, EN_CHANGE), 0);
    EXPECT_EQ(4321u, commandId);
}

TEST_F(ViewTest, CustomDrawAndControlColoursGoBackToTheChildThatSentThem)
{
    CRecordingWindow child;
    child.handler = [](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg == kReflectedMessageBase + WM_NOTIFY || msg == kReflectedMessageBase + WM_CTLCOLORSTATIC) {
            result = 0x55;
            return TRUE;
        }
        return FALSE;
    };
    ASSERT_TRUE(child.CreateChild(view, 500));
    NMHDR draw = {child.m_hWnd, 500, static_cast<UINT>(NM_CUSTOMDRAW)};
    EXPECT_EQ(0x55, SendMessageW(view, WM_NOTIFY, 500, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_EQ(0x55, SendMessageW(view, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(child.m_hWnd)));
    EXPECT_TRUE(child.Saw(kReflectedMessageBase + WM_NOTIFY));
    EXPECT_TRUE(child.Saw(kReflectedMessageBase + WM_CTLCOLORSTATIC));
    EXPECT_TRUE(dialog.notifications.empty()); // the parent never saw the custom draw
    child.DestroyWindow();
}

TEST_F(ViewTest, HelpersByIdChangeTheFirstItemFoundAndRepaintIt)
{
    CSkWindow* text = Item(28);
    const LONG width = text->m_rect.right - text->m_rect.left;
    EXPECT_TRUE(dialog.m_view.SetItemText(28, L"自动自动自动"));
    EXPECT_EQ(L"自动自动自动", std::wstring(text->m_text.GetString()));
    EXPECT_GT(text->m_rect.right - text->m_rect.left, width);
    EXPECT_EQ(10, text->m_rect.left);
    EXPECT_FALSE(dialog.m_view.SetItemText(999, L"x"));

    // Id 22 is in the body and the footer: the body's is hidden.
    EXPECT_TRUE(dialog.m_view.SetItemVisible(22, FALSE));
    EXPECT_TRUE(StateOf(22) & SKS_HIDDEN);
    CSkWindow* footerTwin = dialog.m_view.m_footer.FindItemById(22);
    ASSERT_TRUE(footerTwin);
    EXPECT_FALSE(footerTwin->m_state & SKS_HIDDEN);
    DibCanvas canvas(300, 200);
    Print(canvas);
    EXPECT_EQ("405060", ColourText(canvas.Pixel(80, 50)));

    dialog.m_view.SetItemCheck(21, TRUE);
    EXPECT_TRUE(StateOf(21) & SKS_CHECKED);
    dialog.m_view.SetItemCheck(21, FALSE);
    EXPECT_FALSE(StateOf(21) & SKS_CHECKED);

    EXPECT_TRUE(dialog.m_view.SetItemAttribute(26, "crbg", "ABCDEF"));
    EXPECT_TRUE(dialog.m_view.SetItemIntAttribute(26, "transparent", 3));
    EXPECT_EQ(3, Item(26)->m_transparent);
    EXPECT_TRUE(dialog.m_view.SetItemAttribute(27, "pos", "30,10,50,30"));
    EXPECT_EQ((RECT{130, 100, 150, 120}), Item(27)->m_rect); // placed again in its panel
    DibCanvas after(300, 200);
    Print(after);
    EXPECT_EQ("ABCDEF", ColourText(after.Pixel(105, 95)));
    EXPECT_EQ("00FF00", ColourText(after.Pixel(135, 105)));
    EXPECT_FALSE(dialog.m_view.SetItemAttribute(999, "crbg", "000000"));
}

TEST_F(ViewTest, SetPanelXmlReplacesTheChildrenOfAPanelOnly)
{
    EXPECT_TRUE(dialog.m_view.SetPanelXml(
        26, R"(<button id="41" pos="10,10,30,30" class="hot"/><text id="42" pos="40,0"/>)"));
    EXPECT_EQ(nullptr, Item(27));
    ASSERT_TRUE(Item(41));
    EXPECT_EQ((RECT{110, 100, 130, 120}), Item(41)->m_rect);
    EXPECT_EQ(view, Item(41)->m_hostWindow);
    EXPECT_EQ(Item(26)->m_handle, Item(41)->m_parentHandle);
    DibCanvas canvas(300, 200);
    Print(canvas);
    EXPECT_EQ("00FF00", ColourText(canvas.Pixel(115, 105)));
    EXPECT_EQ("112233", ColourText(canvas.Pixel(103, 93)));
    Click(view, 115, 105);
    ASSERT_EQ(1u, dialog.Clicks().size());
    EXPECT_EQ(41u, dialog.Clicks()[0].itemId);

    EXPECT_FALSE(dialog.m_view.SetPanelXml(22, "<text id=\"43\"/>")); // a text item
    EXPECT_FALSE(dialog.m_view.SetPanelXml(999, "<text id=\"43\"/>"));
    EXPECT_FALSE(dialog.m_view.SetPanelXml(26, "<text id=\"43\""));
    EXPECT_TRUE(Item(41));
    EXPECT_EQ(nullptr, Item(43));
}

TEST(ViewLayoutTest, ALayoutThatDoesNotParseOrIsNoLayerIsRefused)
{
    CSkDialogView view;
    EXPECT_FALSE(view.SetLayoutXml("<layer><header>"));
    EXPECT_FALSE(view.m_layoutLoaded);
    EXPECT_TRUE(view.m_fullRepaint);
    EXPECT_FALSE(view.SetLayoutXml("<dialog width=\"10\" height=\"10\"/>"));
    EXPECT_FALSE(view.m_layoutLoaded);

    EXPECT_TRUE(view.SetLayoutXml("<?xml version=\"1.0\"?><!-- c --><layer><body/></layer>"));
    EXPECT_TRUE(view.m_layoutLoaded);
    EXPECT_FALSE(view.m_headerPresent);
    EXPECT_TRUE(view.m_bodyPresent);
    EXPECT_FALSE(view.m_footerPresent);
    EXPECT_EQ(0, view.m_width);
    EXPECT_TRUE(view.m_title.IsEmpty());
}

TEST(ViewLayoutTest, LayerAttributesGiveTheWindowStyles)
{
    struct {
        const char* attributes;
        DWORD style;
        DWORD exStyle;
        BOOL maximisable;
    } cases[] = {
        {"", 0x80080000, 0x300, FALSE},
        {"noborder=\"0\"", 0x80080000, 0x300, FALSE},
        {"noborder=\"1\"", 0x80080000, 0x88, FALSE},
        {"appwin=\"1\"", 0x80080000, 0x40300, FALSE},
        {"appwin=\"1\" noborder=\"1\"", 0x80080000, 0x40088, FALSE},
        {"resize=\"1\"", 0x800F0000, 0x300, TRUE},
        {"resize=\"1\" nomaxsize=\"1\"", 0x800E0000, 0x300, FALSE},
        {"nomaxsize=\"1\"", 0x80080000, 0x300, FALSE},
        {"resize=\"0\" appwin=\"0\"", 0x80080000, 0x300, FALSE},
    };
    for (const auto& c : cases) {
        CSkDialogView view;
        ASSERT_TRUE(view.SetLayoutXml(std::string("<layer ") + c.attributes + "/>")) << c.attributes;
        EXPECT_EQ(c.style, view.m_style) << c.attributes;
        EXPECT_EQ(c.exStyle, view.m_exStyle) << c.attributes;
        EXPECT_EQ(c.maximisable, view.m_maximisable) << c.attributes;
    }
}
