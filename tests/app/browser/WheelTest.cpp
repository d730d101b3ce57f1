// The wheel reaches the page's own window through the control's services:
// a stand-in control whose browser frame holds windows of the page's class
// names, which record the scroll messages.
#include <gtest/gtest.h>

#include <servprov.h>
#include <shlguid.h>
#include <shlobj.h>

#include <vector>

#include "app/browser/PageWheel.h"
#include "base/ComPtr.h"

namespace {

std::vector<WPARAM> g_scrolls;

LRESULT CALLBACK RecordScroll(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_VSCROLL)
        g_scrolls.push_back(wParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterClassNamed(const wchar_t* name)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = RecordScroll;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassW(&wc);
}

// The control's services: the browser frame as an IOleWindow.
class CStandInControl : public IServiceProvider, public IOleWindow {
public:
    HWND frame = nullptr;
    bool offersFrame = true;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IServiceProvider)
            *out = static_cast<IServiceProvider*>(this);
        else if (iid == IID_IOleWindow)
            *out = static_cast<IOleWindow*>(this);
        else
            return E_NOINTERFACE;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override
    {
        *out = nullptr;
        if (!offersFrame || service != SID_SShellBrowser)
            return E_NOINTERFACE;
        return QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override
    {
        *hwnd = frame;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }
};

class WheelTest : public ::testing::Test {
protected:
    CStandInControl control;
    HWND frame = nullptr;

    void SetUp() override
    {
        RegisterClassNamed(L"Shell DocObject View");
        RegisterClassNamed(L"Internet Explorer_Server");
        RegisterClassNamed(L"WheelTestFrame");
        frame = CreateWindowExW(0, L"WheelTestFrame", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(frame);
        control.frame = frame;
        g_scrolls.clear();
    }
    void TearDown() override { DestroyWindow(frame); }

    HWND Child(HWND parent, const wchar_t* className)
    {
        return CreateWindowExW(0, className, L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
};

TEST_F(WheelTest, OneLinePerWheelMessageDownForNegativeDeltas)
{
    HWND view = Child(frame, L"Shell DocObject View");
    ASSERT_TRUE(Child(view, L"Internet Explorer_Server"));
    for (short delta : {-120, 120, -240, 0})
        ScrollPageByWheel(static_cast<IServiceProvider*>(&control), delta);
    EXPECT_EQ((std::vector<WPARAM>{SB_LINEDOWN, SB_LINEUP, SB_LINEDOWN, SB_LINEUP}), g_scrolls);
}

TEST_F(WheelTest, NothingWithoutTheFrameOrThePageWindow)
{
    // The server window must sit inside the view, the view inside the frame.
    ASSERT_TRUE(Child(frame, L"Internet Explorer_Server"));
    ScrollPageByWheel(static_cast<IServiceProvider*>(&control), -120);
    EXPECT_TRUE(g_scrolls.empty());

    HWND view = Child(frame, L"Shell DocObject View");
    ASSERT_TRUE(Child(view, L"Internet Explorer_Server"));
    control.offersFrame = false;
    ScrollPageByWheel(static_cast<IServiceProvider*>(&control), -120);
    ScrollPageByWheel(nullptr, -120);
    EXPECT_TRUE(g_scrolls.empty());
}

} // namespace
