#include "TestWindows.h"

#include "base/AppModule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TagA {};
struct TagB {};

template <typename Tag> class CTaggedWindow : public CWindowImpl {
public:
    HWND CreatePopup() { return Create(TestWindowClass<Tag>(), nullptr, RECT{0, 0, 10, 10}, L"", WS_POPUP); }
    BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return FALSE; }
};

std::wstring ClassNameOf(HWND hwnd)
{
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

} // namespace

TEST(WindowClass, OneRegistrationPerClassWithItsOwnName)
{
    CTaggedWindow<TagA> first, second;
    CTaggedWindow<TagB> other;
    ASSERT_TRUE(first.CreatePopup());
    ASSERT_TRUE(second.CreatePopup());
    ASSERT_TRUE(other.CreatePopup());

    EXPECT_EQ(ClassNameOf(first.m_hWnd), ClassNameOf(second.m_hWnd));
    EXPECT_NE(ClassNameOf(first.m_hWnd), ClassNameOf(other.m_hWnd));
    EXPECT_EQ(TestWindowClass<TagA>().Name(), ClassNameOf(first.m_hWnd));
    EXPECT_EQ(GetClassWord(first.m_hWnd, GCW_ATOM), TestWindowClass<TagA>().Atom());

    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetClassInfoExW(ThisModuleInstance(), TestWindowClass<TagA>().Name(), &info));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), info.style);
    EXPECT_EQ(&CWindowImpl::WindowProc, info.lpfnWndProc);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), info.hCursor);

    first.DestroyWindow();
    second.DestroyWindow();
    other.DestroyWindow();
}

TEST(WindowClass, IsUnregisteredWithItsObject)
{
    std::wstring name;
    {
        CWindowClass cls(CS_HREDRAW, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        ASSERT_NE(0, cls.Atom());
        name = cls.Name();
        EXPECT_EQ(0u, name.find(L"Ravonyx:"));
        WNDCLASSEXW info = {sizeof(info)};
        ASSERT_TRUE(GetClassInfoExW(ThisModuleInstance(), name.c_str(), &info));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), info.hbrBackground);
    }
    WNDCLASSEXW info = {sizeof(info)};
    EXPECT_FALSE(GetClassInfoExW(ThisModuleInstance(), name.c_str(), &info));
}

TEST(WindowImpl, ObjectGetsEveryMessageFromTheFirstAndIsFoundFromTheWindow)
{
    CRecordingWindow window;
    CWindowImpl* foundInCreate = nullptr;
    HWND handleInNcCreate = nullptr;
    window.handler = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_NCCREATE)
            handleInNcCreate = window.m_hWnd;
        if (msg == WM_CREATE)
            foundInCreate = CWindowImpl::FromHandle(window.m_hWnd);
        return FALSE;
    };
    // A sizeable top-level window gets WM_GETMINMAXINFO before WM_NCCREATE.
    HWND hwnd = window.Create(TestWindowClass<RecordingTag>(), nullptr, RECT{0, 0, 120, 80}, L"test",
                              WS_POPUP | WS_THICKFRAME);
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(hwnd, window.m_hWnd);
    EXPECT_EQ(hwnd, handleInNcCreate);
    EXPECT_EQ(&window, foundInCreate);
    EXPECT_EQ(&window, CWindowImpl::FromHandle(hwnd));
    // The window's own slot is anybody's to set: the object is not kept there.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0x10);
    EXPECT_EQ(&window, CWindowImpl::FromHandle(hwnd));

    // The messages before WM_NCCREATE reach the object too.
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(static_cast<UINT>(WM_GETMINMAXINFO), window.messages.front());
    EXPECT_TRUE(window.Saw(WM_NCCREATE));
    EXPECT_TRUE(window.Saw(WM_CREATE));

    // The default procedure answers what the map leaves.
    EXPECT_EQ(4, SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_TRUE(window.Saw(WM_GETTEXTLENGTH));

    // A second window for the same object is refused.
    EXPECT_EQ(nullptr, window.CreatePopup());
    window.DestroyWindow();
}

TEST(WindowImpl, ForeignWindowsAreNotTakenForObjects)
{
    HWND stat =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(stat);
    SetWindowLongPtrW(stat, GWLP_USERDATA, 0x1234);
    EXPECT_EQ(nullptr, CWindowImpl::FromHandle(stat));
    EXPECT_EQ(nullptr, CWindowImpl::FromHandle(nullptr));
    DestroyWindow(stat);
}

TEST(WindowImpl, WindowOfOurClassMadeWithoutAnObjectRunsOnTheDefaultProcedure)
{
    HWND hwnd = CreateWindowExW(0, TestWindowClass<RecordingTag>().Name(), L"plain", WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr, ThisModuleInstance(), nullptr);
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(nullptr, CWindowImpl::FromHandle(hwnd));
    EXPECT_EQ(5, SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    DestroyWindow(hwnd);
}

namespace {

// Messages of the chaining test: who takes which.
constexpr UINT kTakenByDerived = WM_APP + 1;
constexpr UINT kPassedOnByDerived = WM_APP + 2;
constexpr UINT kTakenByBase = WM_APP + 3;
constexpr UINT kSeenByAll = WM_APP + 4;

class CBaseMapWindow : public CWindowImpl {
public:
    std::vector<std::string> log;

    BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) override
    {
        if (msg == kTakenByBase || msg == kPassedOnByDerived || msg == kSeenByAll)
            log.push_back("base");
        if (msg == kTakenByBase || msg == kPassedOnByDerived) {
            result = 30;
            return TRUE;
        }
        return FALSE;
    }
};

// A helper map, as the frame templates are: it takes some messages and lets
// others go on.
class CHelperMap {
public:
    explicit CHelperMap(std::vector<std::string>& log) : m_log(log) {}

    BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM, LRESULT& result)
    {
        if (msg == kPassedOnByDerived || msg == kSeenByAll)
            m_log.push_back("helper");
        if (msg == kPassedOnByDerived) {
            result = 20;
            return TRUE;
        }
        return FALSE;
    }

private:
    std::vector<std::string>& m_log;
};

class CDerivedMapWindow : public CBaseMapWindow, public CHelperMap {
public:
    CDerivedMapWindow() : CHelperMap(log) {}

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (msg == kTakenByDerived || msg == kPassedOnByDerived || msg == kSeenByAll) {
            BOOL handled = TRUE;
            result = OnAppMessage(msg, handled);
            if (handled)
                return TRUE;
        }
        if (CHelperMap::ProcessWindowMessage(hwnd, msg, wParam, lParam, result))
            return TRUE;
        return CBaseMapWindow::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
    }

private:
    LRESULT OnAppMessage(UINT msg, BOOL& handled)
    {
        log.push_back("derived");
        handled = msg == kTakenByDerived;
        return 10;
    }
};

} // namespace

TEST(WindowImpl, ChainedMapsTryEntriesInOrderAndUnhandledGoesOn)
{
    CDerivedMapWindow window;
    ASSERT_TRUE(window.Create(TestWindowClass<RecordingTag>(), nullptr, RECT{0, 0, 10, 10}, L"", WS_POPUP));
    struct Case {
        UINT msg;
        std::vector<std::string> log;
        LRESULT result;
    };
    const Case cases[] = {
        {kTakenByDerived, {"derived"}, 10},
        {kPassedOnByDerived, {"derived", "helper"}, 20},
        {kTakenByBase, {"base"}, 30},
        // Nobody takes it: the default procedure answers 0 for an application message.
        {kSeenByAll, {"derived", "helper", "base"}, 0},
    };
    for (const Case& c : cases) {
        window.log.clear();
        EXPECT_EQ(c.result, SendMessageW(window.m_hWnd, c.msg, 0, 0)) << c.msg;
        EXPECT_EQ(c.log, window.log) << c.msg;
    }
    window.DestroyWindow();
}

TEST(WindowImpl, DestroyingClearsTheHandleAndRunsTheFinalHookOnce)
{
    CRecordingWindow window;
    HWND hwnd = window.CreatePopup();
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(window.Saw(WM_NCDESTROY));
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ(1, window.finalCalls);
    EXPECT_EQ(hwnd, window.finalHwnd);
    EXPECT_EQ(nullptr, window.handleAtFinal);
    EXPECT_FALSE(window.DestroyWindow());

    // The object can have a window again.
    window.messages.clear();
    HWND again = window.CreatePopup();
    ASSERT_TRUE(again);
    EXPECT_EQ(&window, CWindowImpl::FromHandle(again));
    EXPECT_TRUE(window.Saw(WM_CREATE));
    window.DestroyWindow();
    EXPECT_EQ(2, window.finalCalls);
}

TEST(WindowImpl, MapTakingNcDestroyStillLetsGoOfTheWindow)
{
    CRecordingWindow window;
    window.handler = [](UINT msg, WPARAM, LPARAM, LRESULT&) { return msg == WM_NCDESTROY; };
    HWND hwnd = window.CreatePopup();
    ASSERT_TRUE(hwnd);
    window.DestroyWindow();
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ(1, window.finalCalls);
    EXPECT_EQ(hwnd, window.finalHwnd);
}

TEST(WindowImpl, WindowRefusedInCreateGivesNoHandle)
{
    CRecordingWindow window;
    window.handler = [](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != WM_CREATE)
            return FALSE;
        result = -1;
        return TRUE;
    };
    EXPECT_EQ(nullptr, window.CreatePopup());
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ(1, window.finalCalls);
}

TEST(WindowImpl, DestroyFromOwnHandlerWaitsForThatHandlerToEnd)
{
    CRecordingWindow window;
    std::vector<std::string> order;
    HWND handleAfterDestroy = nullptr;
    window.handler = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg != WM_APP)
            return FALSE;
        ::DestroyWindow(window.m_hWnd);
        handleAfterDestroy = window.m_hWnd;
        order.push_back("handler done");
        return TRUE;
    };
    window.onFinal = [&] { order.push_back("final"); };
    HWND hwnd = window.CreatePopup();
    ASSERT_TRUE(hwnd);
    SendMessageW(hwnd, WM_APP, 0, 0);
    EXPECT_EQ(hwnd, handleAfterDestroy);
    EXPECT_EQ((std::vector<std::string>{"handler done", "final"}), order);
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ(1, window.finalCalls);
}

namespace {

// A modeless window that frees itself in its final hook.
class CSelfDeletingWindow : public CRecordingWindow {
public:
    explicit CSelfDeletingWindow(std::vector<std::string>& order) : m_order(order) {}
    ~CSelfDeletingWindow() override { m_order.push_back("deleted"); }

protected:
    void OnFinalMessage(HWND) override { delete this; }

private:
    std::vector<std::string>& m_order;
};

} // namespace

TEST(WindowImpl, FinalHookMayDeleteTheObject)
{
    std::vector<std::string> order;
    auto* fromOutside = new CSelfDeletingWindow(order);
    HWND hwnd = fromOutside->CreatePopup();
    ASSERT_TRUE(hwnd);
    DestroyWindow(hwnd);
    EXPECT_EQ(std::vector<std::string>{"deleted"}, order);

    order.clear();
    auto* fromHandler = new CSelfDeletingWindow(order);
    fromHandler->handler = [fromHandler, &order](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg != WM_CLOSE)
            return FALSE;
        fromHandler->DestroyWindow();
        fromHandler->messages.push_back(msg); // the object still lives here
        order.push_back("handler done");
        return TRUE;
    };
    hwnd = fromHandler->CreatePopup();
    ASSERT_TRUE(hwnd);
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"handler done", "deleted"}), order);
}

// A dialog with a view child: closed from outside, the view's handle is
// gone by the dialog's final hook; closed from a handler of the view (a
// click notification), the view's handle is cleared only once that view
// message is done.
TEST(WindowImpl, ChildHandleAtParentsFinalHookDependsOnWhereTheCloseCameFrom)
{
    for (bool fromChildHandler : {false, true}) {
        CRecordingWindow dialog;
        CRecordingWindow view;
        HWND viewAtDialogFinal = nullptr;
        dialog.onFinal = [&] { viewAtDialogFinal = view.m_hWnd; };
        dialog.handler = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
            if (msg != WM_NOTIFY)
                return FALSE;
            dialog.DestroyWindow();
            return TRUE;
        };
        view.handler = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
            if (msg != WM_LBUTTONUP)
                return FALSE;
            NMHDR hdr = {view.m_hWnd, 1000, 1};
            SendMessageW(GetParent(view.m_hWnd), WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&hdr));
            return TRUE;
        };
        ASSERT_TRUE(dialog.CreatePopup());
        HWND viewHwnd = view.CreateChild(dialog.m_hWnd, 1000);
        ASSERT_TRUE(viewHwnd);
        if (fromChildHandler)
            SendMessageW(viewHwnd, WM_LBUTTONUP, 0, 0);
        else
            dialog.DestroyWindow();
        EXPECT_EQ(fromChildHandler ? viewHwnd : nullptr, viewAtDialogFinal) << fromChildHandler;
        EXPECT_EQ(nullptr, view.m_hWnd);
        EXPECT_EQ(1, view.finalCalls);
        EXPECT_EQ(1, dialog.finalCalls);
    }
}

TEST(WindowImpl, WindowOutlivingItsObjectFallsBackToTheDefaultProcedure)
{
    HWND hwnd = nullptr;
    {
        CRecordingWindow window;
        hwnd = window.CreatePopup();
        ASSERT_TRUE(hwnd);
    }
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, CWindowImpl::FromHandle(hwnd));
    EXPECT_EQ(0, GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    EXPECT_TRUE(SetWindowTextW(hwnd, L"orphan"));
    EXPECT_EQ(6, SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST(AppModule, KnowsItsInstanceAndMainThread)
{
    EXPECT_EQ(GetModuleHandleW(nullptr), ThisModuleInstance());
    CAppModule module;
    EXPECT_EQ(S_OK, module.Init());
    EXPECT_EQ(ThisModuleInstance(), module.GetModuleInstance());
    EXPECT_EQ(ThisModuleInstance(), module.GetResourceInstance());
    EXPECT_EQ(GetCurrentThreadId(), module.MainThreadId());
    HINSTANCE other = reinterpret_cast<HINSTANCE>(GetModuleHandleW(L"kernel32.dll"));
    EXPECT_EQ(S_OK, module.Init(other));
    EXPECT_EQ(other, module.GetModuleInstance());
}
