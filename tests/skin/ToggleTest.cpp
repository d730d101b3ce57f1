// Check and radio boxes: toggling, measuring, and the process-wide radio
// groups with the repaints they ask of the boxes' own views.
#include "TestLayout.h"

#include <gtest/gtest.h>

#include <set>

#include "NotifyLog.h"
#include "SkinDialogFixture.h"
#include "base/Thread.h"
#include "skin/SkCheckBox.h"
#include "skin/SkItemRegistry.h"
#include "skin/SkRadioBox.h"

namespace {

void Click(CSkWindow* item)
{
    const POINT at = {item->m_rect.left + 1, item->m_rect.top + 1};
    item->SendSkMessage(SKM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

bool Checked(CSkWindow* item)
{
    return (item->m_state & SKS_CHECKED) != 0;
}

size_t GroupSize(const std::string& group)
{
    SkItemRegistry& registry = SkItemRegistry::Instance();
    CCriticalSectionLock lock(registry.Lock());
    auto found = registry.RadioGroups().find(group);
    return found == registry.RadioGroups().end() ? 0 : found->second.size();
}

class ToggleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadTestStyles();
        NotifyLog().clear();
    }
};

} // namespace

TEST_F(ToggleTest, CheckBoxFlipsAtEachClickAndItsCheckAttributeSetsNothing)
{
    TestLayout layout(R"(<body><check id="1" pos="0,0" check="1">Remember</check></body>)");
    auto* box = static_cast<CSkCheckBox*>(layout.Item(1));
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->TagName(), "check");
    EXPECT_EQ(box->CheckAttribute(), 1);
    EXPECT_FALSE(Checked(box));
    EXPECT_TRUE(box->RedrawsOnStateChange());
    for (bool expected : {true, false, true}) {
        Click(box);
        EXPECT_EQ(Checked(box), expected);
    }
    EXPECT_EQ(box->ApplyAttribute("group", "a", FALSE), E_FAIL); // a radio box's attribute only
}

TEST_F(ToggleTest, MeasuringAddsTheGlyphAndItsMinimumHeight)
{
    // The same text measured as plain text, with a font of normal size and
    // one a few pixels high.
    TestLayout layout(R"(<body>
        <text id="1" pos="0,0">Remember me</text><check id="2" pos="0,0">Remember me</check>
        <radio id="3" pos="0,0" group="measure">Remember me</radio>
        <text id="4" pos="0,0" font="F800">x</text><check id="5" pos="0,0" font="F800">x</check>
        <radio id="6" pos="0,0" font="F800" group="measure">x</radio>
    </body>)");
    struct Case {
        UINT plain, box;
        int addedWidth, minHeight;
    };
    for (const Case& c : {Case{1, 2, 17, 13}, Case{1, 3, 14, 12}, Case{4, 5, 17, 13}, Case{4, 6, 14, 12}}) {
        const RECT plain = layout.RectOf(c.plain);
        const RECT box = layout.RectOf(c.box);
        EXPECT_EQ(box.right - box.left, plain.right - plain.left + c.addedWidth) << c.box;
        EXPECT_EQ(box.bottom - box.top, std::max<LONG>(plain.bottom - plain.top, c.minHeight)) << c.box;
    }
    // The tiny font is lower than either glyph, so its minimum counts.
    EXPECT_LT(layout.RectOf(4).bottom, 12);
}

// One process-wide group across two views, and named groups compared
// exactly: each click checks one box, unchecks the checked rest of its group
// and asks each unchecked box's own view to repaint it.
TEST_F(ToggleTest, RadioGroupsSpanViewsAndRepaintTheBoxesTheyUncheck)
{
    LoggingHost hostA, hostB;
    TestLayout a(R"(<body><radio id="1" pos="0,0">one</radio><radio id="2" pos="0,30">two</radio>
                     <radio id="3" pos="0,60" group="g">three</radio>
                     <radio id="4" pos="0,90" group="G">four</radio></body>)",
                 400, 300, hostA.View());
    TestLayout b(R"(<body><radio id="5" pos="0,0">five</radio><radio id="6" pos="0,30" group="g">six</radio>
                 </body>)",
                 400, 300, hostB.View());
    auto item = [&](UINT id) { return id <= 4 ? a.Item(id) : b.Item(id); };
    auto host = [&](UINT id) { return id <= 4 ? hostA.View() : hostB.View(); };

    struct Step {
        UINT click;
        std::set<UINT> checked;
        std::vector<UINT> repainted; // in the order the repaints were asked
    };
    const Step steps[] = {
        {1, {1}, {}},        {2, {2}, {1}},    {5, {5}, {2}},
        {5, {5}, {}},                                              // a checked box stays checked
        {3, {3, 5}, {}},     {6, {5, 6}, {3}}, {4, {4, 5, 6}, {}}, // "G" is not "g"
        {1, {1, 4, 6}, {5}},
    };
    for (const Step& step : steps) {
        NotifyLog().clear();
        Click(item(step.click));
        for (UINT id = 1; id <= 6; ++id)
            EXPECT_EQ(Checked(item(id)), step.checked.count(id) == 1)
                << "click " << step.click << ", box " << id;
        ASSERT_EQ(NotifyLog().size(), step.repainted.size()) << "click " << step.click;
        for (size_t i = 0; i < step.repainted.size(); ++i) {
            const LoggedNotify& sent = NotifyLog()[i];
            CSkWindow* box = item(step.repainted[i]);
            EXPECT_EQ(sent.to, host(step.repainted[i]));
            EXPECT_EQ(sent.code, SKN_INVALIDATE_RECT);
            EXPECT_EQ(sent.value, box->m_handle);
            EXPECT_EQ(sent.idFrom, box->m_id);
            EXPECT_EQ(sent.rect, box->m_rect);
        }
    }
}

TEST_F(ToggleTest, ABoxStaysInTheGroupItJoinedAndLeavesItWhenDestroyed)
{
    LoggingHost host;
    const size_t before = GroupSize("lifetime");
    TestLayout a(R"(<body><radio id="1" group="lifetime">one</radio></body>)", 400, 300, host.View());
    {
        TestLayout b(R"(<body><radio id="2" group="lifetime">two</radio></body>)", 400, 300, host.View());
        EXPECT_EQ(GroupSize("lifetime"), before + 2);
        CSkWindow* two = b.Item(2);
        Click(two);
        // A group changed at run time: the box stays where it joined.
        EXPECT_EQ(two->ApplyAttribute("group", "elsewhere", FALSE), S_FALSE);
        EXPECT_EQ(static_cast<CSkRadioBox*>(two)->Group(), "elsewhere");
        NotifyLog().clear();
        Click(a.Item(1));
        EXPECT_FALSE(Checked(two));
        EXPECT_EQ(NotifyLog().size(), 1u);
        Click(two);
        EXPECT_FALSE(Checked(a.Item(1)));
    }
    EXPECT_EQ(GroupSize("lifetime"), before + 1);
    EXPECT_EQ(GroupSize("elsewhere"), 0u);
    NotifyLog().clear();
    Click(a.Item(1));
    EXPECT_TRUE(Checked(a.Item(1)));
    EXPECT_TRUE(NotifyLog().empty());
}

// A box of a view on another thread is repainted by a message to that
// thread. Its window procedure needs the registry (as any view does, to find
// items by handle): the message must come after the lock is given back.
TEST_F(ToggleTest, SelectingARadioSendsNoMessageWhileHoldingTheRegistryLock)
{
    static int repaints, repaintsWithTheRegistryFree;
    static CHandle found, prober;
    repaints = repaintsWithTheRegistryFree = 0;
    prober.Reset();
    found.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    struct ProbeView {
        static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
        {
            if (msg != WM_NOTIFY)
                return DefWindowProcW(hwnd, msg, wParam, lParam);
            // Asked from a third thread, so that a held lock cannot block
            // this one, and so the sender, for good. That thread may only
            // end once the sender goes on.
            ++repaints;
            if (prober)
                return 0; // one probe is enough
            HANDLE event = found.Get();
            prober = StartThread([event] {
                FindSkWindow(1);
                SetEvent(event);
            });
            if (WaitForSingleObject(event, 10000) == WAIT_OBJECT_0)
                ++repaintsWithTheRegistryFree;
            return 0;
        }
    };
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &ProbeView::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SkinTestProbeView";
    RegisterClassW(&wc);

    CHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HWND probeView = nullptr;
    DWORD probeThreadId = 0;
    HANDLE readyEvent = ready.Get();
    CHandle probeThread = StartThread([&] {
        probeView = CreateWindowExW(0, L"SkinTestProbeView", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        probeThreadId = GetCurrentThreadId();
        SetEvent(readyEvent);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        DestroyWindow(probeView);
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 30000)) << "the probe view's thread did not start";
    ASSERT_NE(probeView, nullptr);

    {
        TestLayout theirs(R"(<body><radio id="1" group="threads">theirs</radio></body>)", 400, 300,
                          probeView);
        TestLayout ours(R"(<body><radio id="2" group="threads">ours</radio></body>)");
        Click(theirs.Item(1));
        Click(ours.Item(2));
        EXPECT_FALSE(Checked(theirs.Item(1)));
        EXPECT_EQ(repaints, 1);
        EXPECT_EQ(repaintsWithTheRegistryFree, 1);
    }
    ASSERT_TRUE(prober);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(prober, 30000)) << "the probe still waits for the registry";
    PostThreadMessageW(probeThreadId, WM_QUIT, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(probeThread, 30000))
        << "the probe view's thread did not end";
}

// In a real view: the view reports the release to the box first, then the
// click to the owner, who thus sees the new state; a disabled box neither
// toggles nor clicks.
TEST_F(ToggleTest, ThroughTheViewTheOwnerSeesTheNewStateWithTheClick)
{
    CTestDialog dialog;
    ASSERT_TRUE(dialog.m_view.SetLayoutXml(R"(<layer width="300" height="200"><body>
        <check id="11" pos="10,10,110,30">Remember</check>
        <radio id="21" pos="10,40,110,60" group="view">A</radio>
        <radio id="22" pos="10,70,110,90" group="view">B</radio>
        <check id="12" pos="10,100,110,120">Off</check>
    </body></layer>)"));
    struct Seen {
        UINT id;
        std::string itemClass;
        bool check, first, second;
    };
    std::vector<Seen> seen;
    auto checked = [&dialog](UINT id) { return Checked(dialog.m_view.FindItem(id)); };
    dialog.handler = [&](UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
        if (msg == WM_NOTIFY)
            if (const SkItemClickNotify* click = AsItemClick(dialog.m_hWnd, lParam))
                seen.push_back({click->itemId, click->itemClass, checked(11), checked(21), checked(22)});
        return FALSE;
    };
    ASSERT_TRUE(dialog.Create(nullptr));
    dialog.m_view.FindItem(12)->m_state |= SKS_DISABLED;
    const HWND view = dialog.m_view.m_hWnd;

    struct Step {
        POINT at;
        UINT clicked; // 0: no click
        const char* itemClass;
        bool check, first, second;
    };
    const Step steps[] = {
        {{20, 20}, 11, "check", true, false, false}, {{20, 50}, 21, "radio", true, true, false},
        {{20, 80}, 22, "radio", true, false, true},  {{20, 80}, 22, "radio", true, false, true},
        {{20, 20}, 11, "check", false, false, true}, {{20, 110}, 0, "", false, false, true},
    };
    for (const Step& step : steps) {
        seen.clear();
        Click(view, step.at.x, step.at.y);
        if (!step.clicked) {
            EXPECT_TRUE(seen.empty()) << step.at.y;
            EXPECT_FALSE(checked(12));
            continue;
        }
        ASSERT_EQ(seen.size(), 1u) << step.at.y;
        EXPECT_EQ(seen[0].id, step.clicked);
        EXPECT_EQ(seen[0].itemClass, step.itemClass);
        EXPECT_EQ(seen[0].check, step.check) << step.at.y;
        EXPECT_EQ(seen[0].first, step.first) << step.at.y;
        EXPECT_EQ(seen[0].second, step.second) << step.at.y;
    }
    DestroyWindow(dialog.m_hWnd);
}
