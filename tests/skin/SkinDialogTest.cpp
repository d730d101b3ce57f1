// Skin dialogs in real windows under Xvfb: the window class and styles from
// the layout, creation and its refusals, OK and Cancel, the modal loop and
// its results, nested modal dialogs and their owners, WM_QUIT through
// nested loops, the window manager, and a hosted EDIT moved by the layout.
#include "SkinDialogFixture.h"

#include <memory>
#include <thread>

#include "TestLayout.h"
#include "base/Handle.h"
#include "skin/SkWinManager.h"
#include "tests/support/ForeignNotify.h"

namespace {

constexpr UINT kDialogLayout = 300;
constexpr UINT kWrongRootLayout = 301;
constexpr UINT kMissingLayout = 399;
constexpr UINT WM_TEST_START = WM_APP + 1;
constexpr UINT WM_TEST_END = WM_APP + 2;

// Button 21 of the dialog layout, in view coordinates (header 24 high).
constexpr int kButtonX = 40;
constexpr int kButtonY = 60;

void PostClick(HWND view, int x, int y)
{
    PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
    PostMessageW(view, WM_LBUTTONUP, 0, Point(x, y));
}

// Ends the dialog with the clicked item's id.
void EndOnClick(CTestDialog& dialog)
{
    dialog.handler = [&dialog](UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
        if (msg == WM_NOTIFY)
            if (const SkItemClickNotify* click = AsItemClick(dialog.m_hWnd, lParam))
                dialog.EndDialog(static_cast<int>(click->itemId));
        return FALSE;
    };
}

class SkinDialogTest : public ::testing::Test {
protected:
    void SetUp() override { TakeQuit(); }
    void TearDown() override { EXPECT_EQ(-1, TakeQuit()) << "a WM_QUIT was left behind"; }

    SkWinManager manager;
};

// A window of another class that stands for the owner of a modal dialog.
class COwnerWindow {
public:
    COwnerWindow()
    {
        m_hwnd = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 500, 400, nullptr,
                                 nullptr, nullptr, nullptr);
        SetActiveWindow(m_hwnd);
    }
    ~COwnerWindow() { DestroyWindow(m_hwnd); }
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

} // namespace

TEST_F(SkinDialogTest, TheWindowGetsTheClassAndStylesOfTheLayout)
{
    struct {
        const char* attributes;
        DWORD style;
        DWORD exStyle;
    } cases[] = {
        {"", 0x80080000, 0x300},
        {"noborder=\"1\"", 0x80080000, 0x88},
        {"appwin=\"1\" resize=\"1\"", 0x800F0000, 0x40300},
        {"resize=\"1\" nomaxsize=\"1\" noborder=\"1\"", 0x800E0000, 0x88},
    };
    for (const auto& c : cases) {
        CTestDialog dialog;
        ASSERT_TRUE(dialog.m_view.SetLayoutXml(std::string("<layer width=\"50\" height=\"40\" ") +
                                               c.attributes + "><body/></layer>"));
        ASSERT_TRUE(dialog.Create(nullptr)) << c.attributes;
        // The system adds WS_CLIPSIBLINGS to a top-level window and decides
        // WS_EX_WINDOWEDGE by the frame itself.
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(dialog.m_hWnd, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(dialog.m_hWnd, GWL_EXSTYLE));
        EXPECT_EQ(c.style, style & 0xFFFF0000 & ~WS_CLIPSIBLINGS) << c.attributes;
        EXPECT_EQ(c.exStyle & ~WS_EX_WINDOWEDGE, exStyle & ~WS_EX_WINDOWEDGE) << c.attributes;
        // The whole window is client area.
        RECT window, client;
        GetWindowRect(dialog.m_hWnd, &window);
        GetClientRect(dialog.m_hWnd, &client);
        EXPECT_EQ(50, window.right - window.left);
        EXPECT_EQ(40, window.bottom - window.top);
        EXPECT_EQ((RECT{0, 0, 50, 40}), client);
        DestroyWindow(dialog.m_hWnd);
    }

    CTestDialog dialog;
    ASSERT_TRUE(dialog.m_view.SetLayoutXml("<layer width=\"50\" height=\"40\"/>"));
    ASSERT_TRUE(dialog.Create(nullptr));
    // Wine reports Windows 7, so the drop shadow is on.
    EXPECT_EQ(static_cast<ULONG_PTR>(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_DROPSHADOW),
              GetClassLongPtrW(dialog.m_hWnd, GCL_STYLE));
    EXPECT_EQ(static_cast<ULONG_PTR>(COLOR_WINDOW + 1), GetClassLongPtrW(dialog.m_hWnd, GCLP_HBRBACKGROUND));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(LoadCursorW(nullptr, IDC_ARROW)),
              GetClassLongPtrW(dialog.m_hWnd, GCLP_HCURSOR));
    // One class per dialog class.
    EXPECT_EQ(&CTestDialog::GetWndClassInfo(), &CTestDialog::GetWndClassInfo());
    EXPECT_NE(CTestDialog::GetWndClassInfo().Atom(), CSizeableTestDialog::GetWndClassInfo().Atom());
    DestroyWindow(dialog.m_hWnd);
}

TEST_F(SkinDialogTest, CreateRefusesAMissingOrWrongLayout)
{
    for (UINT id : {0u, kMissingLayout, kWrongRootLayout}) {
        CTestDialog dialog(id);
        EXPECT_EQ(nullptr, dialog.Create(nullptr)) << id;
        EXPECT_EQ(nullptr, dialog.m_hWnd) << id;
    }

    // DoModal gives 0 and the owner is enabled again.
    COwnerWindow owner;
    CTestDialog dialog(kWrongRootLayout);
    EXPECT_EQ(0, dialog.DoModal());
    EXPECT_TRUE(IsWindowEnabled(owner.Get()));

    CTestDialog loaded(kDialogLayout);
    ASSERT_TRUE(loaded.Create(nullptr));
    EXPECT_TRUE(loaded.m_view.m_layoutLoaded);
    wchar_t title[16] = {};
    GetWindowTextW(loaded.m_hWnd, title, 16);
    EXPECT_STREQ(L"对话框", title);
    DestroyWindow(loaded.m_hWnd);
}

TEST_F(SkinDialogTest, ADialogThatDestroysItselfInInitDialogRunsNoLoop)
{
    COwnerWindow owner;
    CTestDialog dialog(kDialogLayout);
    int inits = 0;
    dialog.onInit = [&](CTestDialog& self) {
        ++inits;
        DestroyWindow(self.m_hWnd);
    };
    EXPECT_EQ(nullptr, dialog.Create(nullptr));
    EXPECT_EQ(0, dialog.DoModal());
    EXPECT_EQ(2, inits);
    EXPECT_TRUE(IsWindowEnabled(owner.Get()));
}

TEST_F(SkinDialogTest, ALayoutWithoutASizeKeepsTheSizeTheDialogGivesItself)
{
    CTestDialog dialog;
    ASSERT_TRUE(dialog.m_view.SetLayoutXml("<layer><body crbg=\"FF0000\"/></layer>"));
    HWND initWParam = nullptr;
    dialog.handler = [&](UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
        if (msg == WM_INITDIALOG) {
            initWParam = reinterpret_cast<HWND>(wParam);
            EXPECT_TRUE(IsWindow(dialog.m_view.m_hWnd)); // the view exists already
            MoveWindow(dialog.m_hWnd, 0, 0, 200, 100, FALSE);
        }
        return FALSE;
    };
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_EQ(dialog.m_hWnd, initWParam);
    RECT client, view;
    GetClientRect(dialog.m_hWnd, &client);
    GetClientRect(dialog.m_view.m_hWnd, &view);
    EXPECT_EQ((RECT{0, 0, 200, 100}), client);
    EXPECT_EQ((RECT{0, 0, 200, 100}), view);
    EXPECT_EQ((RECT{0, 0, 200, 100}), dialog.m_view.m_body.m_rect);
    DestroyWindow(dialog.m_hWnd);
}

TEST_F(SkinDialogTest, DoModalReturnsTheCodeOfEndDialogAndCanRunAgain)
{
    CTestDialog dialog(kDialogLayout);
    EndOnClick(dialog);
    bool visible = false;
    dialog.onInit = [&](CTestDialog& self) {
        PostMessageW(self.m_hWnd, WM_TEST_START, 0, 0);
        PostClick(self.m_view.m_hWnd, kButtonX, kButtonY);
    };
    auto recordState = dialog.handler;
    dialog.handler = [&, recordState](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (msg == WM_TEST_START) {
            visible = IsWindowVisible(dialog.m_hWnd) != FALSE;
        }
        return recordState(msg, wParam, lParam, result);
    };
    EXPECT_EQ(21, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_TRUE(visible);
    ASSERT_EQ(1u, dialog.Clicks().size());
    EXPECT_EQ("button", dialog.Clicks()[0].itemClass);

    dialog.notifications.clear();
    dialog.onInit = [](CTestDialog& self) { PostClick(self.m_view.m_hWnd, 140, kButtonY); };
    EXPECT_EQ(22, dialog.DoModal());
}

TEST_F(SkinDialogTest, ADialogThatClearsTheShowFlagStaysHidden)
{
    CTestDialog dialog(kDialogLayout);
    bool visible = true;
    dialog.onInit = [](CTestDialog& self) {
        self.m_show = FALSE;
        PostMessageW(self.m_hWnd, WM_TEST_END, 0, 0);
    };
    dialog.handler = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_TEST_END) {
            visible = IsWindowVisible(dialog.m_hWnd) != FALSE;
            dialog.EndDialog(3);
        }
        return FALSE;
    };
    EXPECT_EQ(3, dialog.DoModal());
    EXPECT_FALSE(visible);
}

TEST_F(SkinDialogTest, EndDialogFromAMessageSentByAnotherThreadEndsTheWaitingLoop)
{
    // A message sent from another thread runs inside GetMessageW, which would
    // go on waiting without the wake-up that EndDialog posts.
    CTestDialog dialog(kDialogLayout);
    std::thread sender;
    dialog.onInit = [&](CTestDialog& self) {
        HWND hwnd = self.m_hWnd;
        sender = std::thread([hwnd] { SendMessageW(hwnd, WM_TEST_END, 0, 0); });
    };
    dialog.handler = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_TEST_END)
            dialog.EndDialog(5);
        return FALSE;
    };
    EXPECT_EQ(5, dialog.DoModal());
    sender.join();
    EXPECT_FALSE(dialog.watchdogFired);
}

TEST_F(SkinDialogTest, EnterEscapeAndCloseBecomeClicksOnItemsOneAndTwo)
{
    CTestDialog dialog(kDialogLayout);
    ASSERT_TRUE(dialog.Create(nullptr));
    HWND hwnd = dialog.m_hWnd;
    SendMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    SendMessageW(hwnd, WM_KEYDOWN, 'A', 0);
    auto clicks = dialog.Clicks();
    ASSERT_EQ(3u, clicks.size());
    const UINT expected[] = {1, 2, 2};
    for (size_t i = 0; i < clicks.size(); ++i) {
        EXPECT_EQ(expected[i], clicks[i].itemId);
        EXPECT_EQ("", clicks[i].itemClass);
        EXPECT_EQ(hwnd, clicks[i].from);
        EXPECT_EQ(IDC_SKIN_VIEW, clicks[i].idFrom);
    }
    EXPECT_TRUE(IsWindow(hwnd)); // WM_CLOSE does not destroy

    // With Ctrl down, or while disabled, the keys do nothing.
    dialog.notifications.clear();
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EnableWindow(hwnd, FALSE);
    SendMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(dialog.Clicks().empty());
    DestroyWindow(hwnd);
}

TEST_F(SkinDialogTest, MaximisedTheWindowCoversTheWorkAreaAndOnePixelMore)
{
    CTestDialog dialog(kDialogLayout);
    ASSERT_TRUE(dialog.Create(nullptr));
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(dialog.m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    MINMAXINFO info = {};
    SendMessageW(dialog.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    const RECT& work = monitor.rcWork;
    EXPECT_EQ(std::abs(work.left - monitor.rcMonitor.left) - 1, info.ptMaxPosition.x);
    EXPECT_EQ(std::abs(work.top - monitor.rcMonitor.top) - 1, info.ptMaxPosition.y);
    EXPECT_EQ(work.right - work.left + 2, info.ptMaxSize.x);
    EXPECT_EQ(work.bottom - work.top + 2, info.ptMaxSize.y);
    EXPECT_EQ(info.ptMaxSize.x, info.ptMaxTrackSize.x);
    EXPECT_EQ(info.ptMaxSize.y, info.ptMaxTrackSize.y);
    DestroyWindow(dialog.m_hWnd);
}

TEST_F(SkinDialogTest, AModalDialogIsCentredOnItsOwnerAndOwnedByIt)
{
    // The owner comes from the manager: the active window may be another
    // test program's while tests run side by side.
    COwnerWindow owner;
    manager.SetActiveDialog(owner.Get());
    CTestDialog dialog(kDialogLayout);
    RECT rect = {};
    HWND ownerSeen = nullptr;
    BOOL ownerEnabled = TRUE;
    dialog.onInit = [&](CTestDialog& self) { PostMessageW(self.m_hWnd, WM_TEST_END, 0, 0); };
    dialog.handler = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_TEST_END) {
            GetWindowRect(dialog.m_hWnd, &rect);
            ownerSeen = GetWindow(dialog.m_hWnd, GW_OWNER);
            ownerEnabled = IsWindowEnabled(owner.Get());
            dialog.EndDialog(1);
        }
        return FALSE;
    };
    EXPECT_EQ(1, dialog.DoModal());
    EXPECT_EQ(owner.Get(), ownerSeen);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.Get()));
    EXPECT_EQ(owner.Get(), manager.SetActiveDialog(nullptr));
    // Owner 100,100 500 x 400; dialog 240 x 160.
    EXPECT_EQ((RECT{230, 220, 470, 380}), rect);
}

TEST_F(SkinDialogTest, ANestedModalDialogIsOwnedByTheOuterOneWhichIsActiveAgainAfterIt)
{
    CTestDialog outer(kDialogLayout);
    CTestDialog inner(kDialogLayout);
    HWND innerOwner = nullptr;
    BOOL outerEnabledInside = TRUE;
    BOOL outerEnabledAtHide = FALSE;
    BOOL outerEnabledAfter = FALSE;
    HWND activeAfter = nullptr;
    HWND managerInside = nullptr;
    HWND managerAfter = nullptr;
    bool innerWasActive = false;
    int innerResult = 0;

    outer.onInit = [](CTestDialog& self) { PostMessageW(self.m_hWnd, WM_TEST_START, 0, 0); };
    outer.handler = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg != WM_TEST_START)
            return FALSE;
        innerResult = inner.DoModal();
        outerEnabledAfter = IsWindowEnabled(outer.m_hWnd);
        activeAfter = GetActiveWindow();
        managerAfter = manager.GetActiveDialog();
        outer.EndDialog(9);
        return TRUE;
    };
    inner.onInit = [&](CTestDialog& self) {
        innerOwner = GetWindow(self.m_hWnd, GW_OWNER);
        outerEnabledInside = IsWindowEnabled(outer.m_hWnd);
        PostClick(self.m_view.m_hWnd, kButtonX, kButtonY);
    };
    inner.handler = [&](UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
        if (msg == WM_WINDOWPOSCHANGING &&
            (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW))
            outerEnabledAtHide = IsWindowEnabled(outer.m_hWnd);
        if (msg == WM_NOTIFY && AsItemClick(inner.m_hWnd, lParam)) {
            managerInside = manager.GetActiveDialog();
            innerWasActive = GetActiveWindow() == inner.m_hWnd;
            inner.EndDialog(static_cast<int>(AsItemClick(inner.m_hWnd, lParam)->itemId));
        }
        return FALSE;
    };

    EXPECT_EQ(9, outer.DoModal());
    EXPECT_EQ(21, innerResult);
    EXPECT_NE(nullptr, innerOwner);
    EXPECT_EQ(innerOwner, managerAfter); // the outer dialog, active again in the manager
    EXPECT_FALSE(outerEnabledInside);
    EXPECT_TRUE(outerEnabledAtHide) << "the owner must be enabled before the dialog is hidden";
    EXPECT_TRUE(outerEnabledAfter);
    // Unless another program took the foreground meanwhile (tests run side
    // by side), the outer dialog is active again.
    if (innerWasActive) {
        EXPECT_EQ(innerOwner, activeAfter);
    }
    EXPECT_NE(innerOwner, managerInside);
    EXPECT_EQ(nullptr, manager.GetActiveDialog());
}

TEST_F(SkinDialogTest, AWmQuitEndsEveryNestedLoopAndStaysInTheQueue)
{
    // First a WM_QUIT posted inside a handler; then one that arrives while
    // the inner loop waits in GetMessageW, from a message another thread
    // sends: the loop that takes it posts it again.
    for (bool fromThread : {false, true}) {
        CTestDialog outer(kDialogLayout);
        CTestDialog inner(kDialogLayout);
        int innerResult = -5;
        std::thread sender;
        outer.onInit = [](CTestDialog& self) { PostMessageW(self.m_hWnd, WM_TEST_START, 0, 0); };
        outer.handler = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
            if (msg == WM_TEST_START) {
                innerResult = inner.DoModal();
                return TRUE;
            }
            return FALSE;
        };
        // The sender waits until the inner loop has handled its last message,
        // so that its message most likely comes while GetMessageW waits.
        CHandle idle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        inner.onInit = [&](CTestDialog& self) {
            HWND hwnd = self.m_hWnd;
            PostMessageW(hwnd, WM_TEST_START, 0, 0);
            if (fromThread) {
                HANDLE event = idle.Get();
                sender = std::thread([hwnd, event] {
                    // Without the start the loop ends by its watchdog.
                    if (WaitForSingleObject(event, 30000) == WAIT_OBJECT_0)
                        SendMessageW(hwnd, WM_TEST_END, 0, 0);
                });
            }
        };
        inner.handler = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
            if (msg == WM_TEST_START && fromThread)
                SetEvent(idle);
            if ((msg == WM_TEST_START && !fromThread) || msg == WM_TEST_END)
                PostQuitMessage(7);
            return FALSE;
        };
        EXPECT_EQ(0, outer.DoModal()) << fromThread;
        if (sender.joinable())
            sender.join();
        EXPECT_EQ(0, innerResult) << fromThread;
        EXPECT_FALSE(outer.watchdogFired || inner.watchdogFired);
        EXPECT_EQ(7, TakeQuit()) << fromThread;
    }
}

TEST_F(SkinDialogTest, TheManagerKeepsOneActiveDialogPerThread)
{
    EXPECT_EQ(&manager, SkWinManager::Instance());
    {
        SkWinManager second;
        EXPECT_EQ(&manager, SkWinManager::Instance()); // the first one stays
    }
    EXPECT_EQ(&manager, SkWinManager::Instance());

    HWND a = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1010));
    HWND b = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x2020));
    EXPECT_EQ(nullptr, manager.SetActiveDialog(a));
    EXPECT_EQ(a, manager.GetActiveDialog());
    HWND seen = reinterpret_cast<HWND>(1);
    HWND replaced = reinterpret_cast<HWND>(1);
    std::thread other([&] {
        seen = manager.GetActiveDialog();
        replaced = manager.SetActiveDialog(b);
    });
    other.join();
    EXPECT_EQ(nullptr, seen);
    EXPECT_EQ(nullptr, replaced);
    EXPECT_EQ(a, manager.SetActiveDialog(nullptr));
    EXPECT_EQ(nullptr, manager.GetActiveDialog());
}

TEST(SkWinManagerLifeTest, TheManagerGoesWithItsObject)
{
    EXPECT_EQ(nullptr, SkWinManager::Instance());
    {
        SkWinManager manager;
        EXPECT_EQ(&manager, SkWinManager::Instance());
    }
    EXPECT_EQ(nullptr, SkWinManager::Instance());
}

TEST_F(SkinDialogTest, ARealWndItemMovesTheEditTheDialogMade)
{
    CTestDialog dialog;
    ASSERT_TRUE(dialog.m_view.SetLayoutXml(R"(<layer width="300" height="200">
        <header height="20"/>
        <body><realwnd id="300" pos="10,10,-10,-10"/></body>
    </layer>)"));
    HWND edit = nullptr;
    dialog.onInit = [&](CTestDialog& self) {
        edit =
            CreateWindowExW(0, L"EDIT", L"编辑", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 10, 10, self.m_view.m_hWnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(300)), nullptr, nullptr);
    };
    ASSERT_TRUE(dialog.Create(nullptr));
    ASSERT_TRUE(edit);
    EXPECT_TRUE(IsWindowVisible(edit) || !IsWindowVisible(dialog.m_hWnd));
    EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_STYLE) & WS_VISIBLE);

    auto editRect = [&] {
        RECT rect;
        GetWindowRect(edit, &rect);
        MapWindowPoints(nullptr, dialog.m_view.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    EXPECT_EQ((RECT{10, 30, 290, 190}), editRect());
    auto moves = dialog.Only(SKN_REALWND_MOVED);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(300u, moves.back().itemId);
    EXPECT_EQ((RECT{10, 30, 290, 190}), moves.back().rect);
    EXPECT_EQ(dialog.m_view.m_hWnd, moves.back().from);

    dialog.notifications.clear();
    dialog.ResizeClient(400, 260);
    EXPECT_EQ((RECT{10, 30, 390, 250}), editRect());
    ASSERT_EQ(1u, dialog.Only(SKN_REALWND_MOVED).size());

    // The same size again moves nothing and tells nothing.
    dialog.notifications.clear();
    SendMessageW(dialog.m_view.m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 260));
    EXPECT_TRUE(dialog.Only(SKN_REALWND_MOVED).empty());

    EXPECT_TRUE(dialog.m_view.SetItemVisible(300, FALSE));
    EXPECT_FALSE(GetWindowLongPtrW(edit, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(dialog.m_view.SetItemVisible(300, TRUE));
    EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_STYLE) & WS_VISIBLE);

    // The edit's commands reach the dialog through the view.
    UINT commandId = 0;
    dialog.handler = [&](UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
        if (msg == WM_COMMAND && HIWORD(wParam) == EN_CHANGE)
            commandId = LOWORD(wParam);
        return FALSE;
    };
    SetWindowTextW(edit, L"改了");
    EXPECT_EQ(300u, commandId);
    DestroyWindow(dialog.m_hWnd);
}

// WM_NOTIFY from another thread or posted, to the dialog and to its view,
// with an address that faults, a freed block, and a readable block that
// looks like a click on button 21: none is read or acted on, and the
// dialog goes on answering real clicks.
TEST_F(SkinDialogTest, ForeignNotificationsAreIgnoredAndRealClicksStillWork)
{
    CTestDialog dialog(kDialogLayout);
    auto forged = std::make_unique<SkItemClickNotify>();
    forged->hdr.idFrom = IDC_SKIN_VIEW;
    forged->hdr.code = SKN_ITEM_CLICK;
    forged->itemId = 21;
    forged->itemClass = "button";
    const LPARAM freed = FreedBlockAddress();
    std::vector<UINT> clicks;
    std::vector<std::string> unanswered;
    dialog.onInit = [](CTestDialog& self) { PostMessageW(self.m_hWnd, WM_TEST_START, 0, 0); };
    dialog.handler = [&](UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
        if (msg == WM_NOTIFY) {
            if (const SkItemClickNotify* click = AsItemClick(dialog.m_hWnd, lParam)) {
                clicks.push_back(click->itemId);
                dialog.EndDialog(static_cast<int>(click->itemId));
            }
            return FALSE;
        }
        if (msg != WM_TEST_START)
            return FALSE;
        forged->hdr.hwndFrom = dialog.m_view.m_hWnd;
        const size_t recorded = dialog.notifications.size();
        const struct {
            const char* name;
            LPARAM lParam;
        } blocks[] = {
            {"forged click", reinterpret_cast<LPARAM>(forged.get())}, {"freed", freed}, {"0x10", 0x10}};
        for (HWND target : {dialog.m_hWnd, dialog.m_view.m_hWnd}) {
            for (const auto& block : blocks) {
                const std::string name =
                    std::string(target == dialog.m_hWnd ? "dialog, " : "view, ") + block.name;
                if (!SendNotifyFromAnotherThread(target, IDC_SKIN_VIEW, block.lParam))
                    unanswered.push_back(name);
                PostNotify(target, IDC_SKIN_VIEW, block.lParam);
            }
        }
        EXPECT_TRUE(clicks.empty()) << "a foreign record was taken for a click";
        EXPECT_EQ(recorded, dialog.notifications.size());
        PostClick(dialog.m_view.m_hWnd, kButtonX, kButtonY);
        return TRUE;
    };
    EXPECT_EQ(21, dialog.DoModal());
    EXPECT_TRUE(unanswered.empty()) << unanswered.size() << " sends were not answered";
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(21u, dialog.Clicks().at(0).itemId);
}
