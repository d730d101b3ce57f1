// An owner that replaces a panel while an item inside it notifies: a link
// click in rich text, a tab change by a press and one the owner asks for.
// The freed items must never be touched again. This program replaces the
// heap functions (AllocationProbe.cpp): blocks freed during each case stay
// poisoned and unused, and any write into them is found afterwards; under
// Wine such a write would otherwise go unnoticed.
#include "SkinDialogFixture.h"

#include <functional>

#include "AllocationProbe.h"
#include "skin/SkItemRegistry.h"
#include "skin/SkRichText.h"
#include "skin/SkStylePool.h"
#include "skin/SkTabCtrl.h"
#include "tests/support/DibCanvas.h"

namespace {

// 300 x 200; panel 26 holds a rich text with link 31, a tab control whose
// second tab lies at x 50-90, y 80-110, and a hosted EDIT (item 60).
const char kLayout[] = R"(<layer title="替换" width="300" height="200" noborder="1">
    <body crbg="405060">
        <dlg id="26" pos="0,0,-0,-0">
            <richtext id="30" pos="10,10,290,60">看<a id="31">链接</a></richtext>
            <tabctrl id="40" pos="10,80,290,190" tabwidth="40" tabheight="30">
                <tab title="一"><text id="41" pos="0,0,20,20"/></tab>
                <tab title="二"><text id="42" pos="0,0,20,20"/></tab>
            </tabctrl>
            <realwnd id="60" pos="200,10,280,30"/>
        </dlg>
    </body>
</layer>)";

const char kReplacement[] = R"(<button id="50" pos="100,100,160,140"/>)";

// One dialog per case, its panel 26 ready to be replaced.
class Owner {
public:
    Owner()
    {
        SkStylePool::Instance().LoadXml("<style/>");
        ParkPointer();
        EXPECT_TRUE(dialog.m_view.SetLayoutXml(kLayout));
        EXPECT_TRUE(dialog.Create(nullptr));
        view = dialog.m_view.m_hWnd;
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, view,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(60)), nullptr, nullptr);
        SetWindowPos(dialog.m_hWnd, HWND_TOPMOST, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        EXPECT_TRUE(SettleRealPointer(dialog.m_view)) << "the view still tracks a hover of the real pointer";
        // The links are laid out by the first paint.
        DibCanvas canvas(300, 200);
        SendMessageW(view, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        dialog.notifications.clear();
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    ~Owner()
    {
        if (dialog.m_hWnd)
            DestroyWindow(dialog.m_hWnd);
        PumpPending();
    }

    CSkWindow* Item(UINT id) { return dialog.m_view.FindItem(id); }

    CTestDialog dialog;
    HWND view = nullptr;
};

} // namespace

TEST(NotifyReplaceTest, AnOwnerReplacingThePanelOfTheNotifyingItemLeavesNoUseOfFreedItems)
{
    struct Case {
        const char* name;
        UINT code; // the notification whose handler replaces the panel
        std::function<void(Owner&)> act;
    };
    const Case cases[] = {
        {"a link click in rich text", SKN_ITEM_CLICK,
         [](Owner& t) {
             const auto* rich = static_cast<CSkRichText*>(t.Item(30));
             ASSERT_EQ(1u, rich->Runs().size());
             const RECT link = rich->Runs()[0].rect;
             Click(t.view, (link.left + link.right) / 2, (link.top + link.bottom) / 2);
         }},
        {"a press on a tab", SKN_TAB_CHANGING, [](Owner& t) { Click(t.view, 70, 95); }},
        {"a tab change the owner asks for", SKN_TAB_CHANGING,
         [](Owner& t) { EXPECT_FALSE(t.dialog.m_view.SetTabCurSel(40, 1)); }},
        {"a hosted window moved by a new pos", SKN_REALWND_MOVED,
         [](Owner& t) { EXPECT_TRUE(t.dialog.m_view.SetItemAttribute(60, "pos", "200,40,280,60")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Owner owner;
        CTestDialog& dialog = owner.dialog;
        auto Item = [&owner](UINT id) { return owner.Item(id); };
        ASSERT_TRUE(Item(30) && Item(40) && owner.view);
        const UINT oldHandles[] = {Item(30)->m_handle, Item(40)->m_handle, Item(41)->m_handle};
        int replaced = 0;
        dialog.handler = [&](UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
            if (msg == WM_NOTIFY && hdr->code == c.code && replaced++ == 0) {
                EXPECT_TRUE(dialog.m_view.SetPanelXml(26, kReplacement));
            }
            return FALSE; // recorded as well
        };

        allocation_probe::StartQuarantine();
        c.act(owner);
        const allocation_probe::QuarantineReport report = allocation_probe::EndQuarantine();
        dialog.handler = nullptr;

        EXPECT_EQ(1, replaced);
        EXPECT_GT(report.freed, 0u); // the replaced items were freed meanwhile
        EXPECT_EQ(0u, report.written) << "freed blocks written after they were freed";
        for (UINT handle : oldHandles)
            EXPECT_EQ(nullptr, FindSkWindow(handle));
        EXPECT_EQ(nullptr, Item(30));
        EXPECT_EQ(nullptr, Item(41));
        ASSERT_TRUE(Item(50));
        EXPECT_EQ(1u, dialog.Only(c.code).size());

        // The new content works as any other.
        dialog.notifications.clear();
        Click(owner.view, 130, 120);
        ASSERT_EQ(1u, dialog.Clicks().size());
        EXPECT_EQ(50u, dialog.Clicks()[0].itemId);
    }
}
