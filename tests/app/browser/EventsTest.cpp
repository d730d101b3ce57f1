// The control's events, delivered by calling the containers' event sink as
// the control does (arguments last-first, the address by reference).
#include <gtest/gtest.h>

#include <exdispid.h>

#include "tests/app/browser/BrowserTestSupport.h"

namespace {

// The arguments of one event in the order the control documents them; Fire
// reverses them.
class CEvent {
public:
    VARIANT_BOOL cancel = VARIANT_FALSE;

    HRESULT Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> args)
    {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }

    VARIANT ByRef(CComVariant& value)
    {
        VARIANT v;
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = &value;
        return v;
    }
    VARIANT CancelFlag()
    {
        VARIANT v;
        v.vt = VT_BYREF | VT_BOOL;
        v.pboolVal = &cancel;
        return v;
    }
    static VARIANT NoBrowser()
    {
        VARIANT v;
        v.vt = VT_DISPATCH;
        v.pdispVal = nullptr;
        return v;
    }

    // BeforeNavigate2(browser, URL, flags, target frame, post data, headers, cancel)
    HRESULT BeforeNavigate2(IDispatch* sink, const wchar_t* url)
    {
        CComVariant address(url), flags(0), frame(L""), post, headers(L"");
        return Fire(sink, DISPID_BEFORENAVIGATE2,
                    {NoBrowser(), ByRef(address), ByRef(flags), ByRef(frame), ByRef(post), ByRef(headers),
                     CancelFlag()});
    }
    // NavigateError(browser, URL, target frame, status code, cancel)
    HRESULT NavigateError(IDispatch* sink, const wchar_t* url)
    {
        CComVariant address(url), frame(L""), status(static_cast<int>(0x800C0005));
        return Fire(sink, DISPID_NAVIGATEERROR,
                    {NoBrowser(), ByRef(address), ByRef(frame), ByRef(status), CancelFlag()});
    }
    // NavigateComplete2(browser, URL)
    HRESULT NavigateComplete2(IDispatch* sink, const wchar_t* url)
    {
        CComVariant address(url);
        return Fire(sink, DISPID_NAVIGATECOMPLETE2, {NoBrowser(), ByRef(address)});
    }
    // NewWindow3(new browser, cancel, flags, context URL, URL)
    HRESULT NewWindow3(IDispatch* sink, const wchar_t* url)
    {
        IDispatch* newBrowser = nullptr;
        VARIANT ppDisp;
        ppDisp.vt = VT_BYREF | VT_DISPATCH;
        ppDisp.ppdispVal = &newBrowser;
        CComVariant flags(0x4), context(L"http://127.0.0.1:18081/zhuti/"), address(url);
        return Fire(sink, DISPID_NEWWINDOW3, {ppDisp, CancelFlag(), flags, context, address});
    }
};

template <typename Container> class EventsTestBase : public ::testing::Test {
protected:
    CComApartment com;
    CMenuTarget top;
    CTestContainer<Container> container;
    CEvent event;

    void SetUp() override
    {
        ASSERT_TRUE(top.CreateTop());
        ASSERT_TRUE(container.Create(top.m_hWnd, RECT{0, 0, 200, 150}, WS_CHILD | WS_VISIBLE, 0, 115));
        ASSERT_TRUE(container.CreateBrowser());
        // Without a browser engine even "about:blank" fails; a new
        // navigation starts clean, and its own events come only once the
        // messages are pumped, which these tests do not do.
        PumpPending();
        container.Navigate(L"about:blank");
        container.navigations.clear();
        ASSERT_TRUE(container.EventSink());
    }
    void TearDown() override { top.DestroyWindow(); }
};

using ContainerEventsTest = EventsTestBase<CUiHtmlContainerWindow>;
using MenuEventsTest = EventsTestBase<CUiHtmlSortWindow>;
using ContentEventsTest = EventsTestBase<CUiHtmlListWindow>;

TEST_F(ContainerEventsTest, NewWindowOpensOnlyWebAddressesOutsideAndIsAlwaysCancelled)
{
    const struct {
        const wchar_t* url;
        bool opened;
    } table[] = {
        {L"http://127.0.0.1:18081/zhuti/5/", true},
        {L"https://127.0.0.1/help.html", true},
        {L"HTTP://127.0.0.1/upper.html", true},
        {L"file:///C:/windows/system32/calc.exe", false},
        {L"javascript:alert(1)", false},
        {L"C:\\windows\\notepad.exe", false},
        {L"httpx://127.0.0.1/", false},
        {L"", false},
    };
    for (const auto& entry : table) {
        container.openedOutside.clear();
        event.cancel = VARIANT_FALSE;
        EXPECT_EQ(S_OK, event.NewWindow3(container.EventSink(), entry.url));
        EXPECT_EQ(VARIANT_TRUE, event.cancel) << entry.url;
        if (entry.opened) {
            EXPECT_EQ(std::vector<std::wstring>{entry.url}, container.openedOutside);
        } else {
            EXPECT_TRUE(container.openedOutside.empty()) << entry.url;
        }
    }
}

TEST_F(ContainerEventsTest, AFailedResourceHidesThePageWhenItCompletes)
{
    // A complete page without error is shown.
    event.NavigateComplete2(container.EventSink(), L"http://127.0.0.1:18081/zhuti/");
    EXPECT_TRUE(IsWindowVisible(container.BrowserWindow()));

    // Another address than the current one fails (a frame, a resource): no
    // error page, the error state is set, and the page is hidden.
    container.SetErrorPage(L"C:\\Local\\management\\error.html");
    event.cancel = VARIANT_FALSE;
    event.NavigateError(container.EventSink(), L"http://127.0.0.1:18081/frame.html");
    EXPECT_EQ(VARIANT_FALSE, event.cancel) << "never cancelled";
    EXPECT_TRUE(container.NavigationFailed());
    EXPECT_TRUE(container.navigations.empty()) << "no error page for a resource";
    event.NavigateComplete2(container.EventSink(), L"http://127.0.0.1:18081/zhuti/");
    EXPECT_FALSE(IsWindowVisible(container.BrowserWindow()));
}

TEST_F(ContainerEventsTest, CallsWithTheWrongArgumentsAreIgnored)
{
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    for (DISPID id :
         {DISPID_BEFORENAVIGATE2, DISPID_NAVIGATEERROR, DISPID_NEWWINDOW3, DISPID_NAVIGATECOMPLETE2})
        EXPECT_EQ(S_OK, container.EventSink()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr,
                                                      nullptr, nullptr));
    EXPECT_EQ(S_OK, container.EventSink()->Invoke(DISPID_NEWWINDOW3, IID_NULL, 0, DISPATCH_METHOD, nullptr,
                                                  nullptr, nullptr, nullptr));
    EXPECT_TRUE(container.openedOutside.empty());
    EXPECT_TRUE(container.navigations.empty());
    EXPECT_FALSE(container.NavigationFailed());
}

TEST_F(MenuEventsTest, ItemLinksGoToTheMainWindowAndAreCancelled)
{
    const struct {
        const wchar_t* url;
        bool intercepted;
    } table[] = {
        {L"file:///C:/Ravonyx/Local/list/menumanage.html?item=11", true},
        {L"http://127.0.0.1:18081/index.html?item=zhuti/5", true},
        {L"x?item=2", true},
        {L"?item=2", false},
        {L"http://127.0.0.1:18081/index.html?action=1", false},
        {L"about:blank", false},
    };
    for (const auto& entry : table) {
        top.links.clear();
        event.cancel = VARIANT_FALSE;
        event.BeforeNavigate2(container.EventSink(), entry.url);
        if (entry.intercepted) {
            EXPECT_EQ(VARIANT_TRUE, event.cancel) << entry.url;
            EXPECT_EQ(std::vector<std::wstring>{entry.url}, top.links);
        } else {
            EXPECT_EQ(VARIANT_FALSE, event.cancel) << entry.url;
            EXPECT_TRUE(top.links.empty()) << entry.url;
        }
    }
}

TEST_F(MenuEventsTest, ASetNotifyWindowGetsTheLinksInsteadOfTheTopWindow)
{
    CMenuTarget other;
    ASSERT_TRUE(other.CreateTop(50, 50));
    container.SetNotifyWindow(other.m_hWnd);
    event.BeforeNavigate2(container.EventSink(), L"left.html?item=3");
    EXPECT_TRUE(top.links.empty());
    EXPECT_EQ(std::vector<std::wstring>{L"left.html?item=3"}, other.links);
    other.DestroyWindow();
}

TEST_F(ContentEventsTest, RemembersTheLastTwoAddressesButNotBlankScriptOrErrorPages)
{
    const struct {
        const wchar_t* url;
        const wchar_t* prev;
        const wchar_t* cur;
    } steps[] = {
        {L"http://127.0.0.1:18081/zhuti/", L"", L"http://127.0.0.1:18081/zhuti/"},
        {L"about:blank", L"", L"http://127.0.0.1:18081/zhuti/"},
        {L"http://127.0.0.1:18081/zhuti/5/", L"http://127.0.0.1:18081/zhuti/",
         L"http://127.0.0.1:18081/zhuti/5/"},
        {L"javascript:void(0);", L"http://127.0.0.1:18081/zhuti/", L"http://127.0.0.1:18081/zhuti/5/"},
        {L"C:\\Ravonyx\\Local\\management\\error.html", L"http://127.0.0.1:18081/zhuti/",
         L"http://127.0.0.1:18081/zhuti/5/"},
        {L"file:///C:/Ravonyx/Local/management/error.html", L"http://127.0.0.1:18081/zhuti/",
         L"http://127.0.0.1:18081/zhuti/5/"},
        {L"javascript:void(0)", L"http://127.0.0.1:18081/zhuti/5/", L"javascript:void(0)"},
        {L"http://127.0.0.1:18081/bizhi/", L"javascript:void(0)", L"http://127.0.0.1:18081/bizhi/"},
    };
    for (const auto& step : steps) {
        event.cancel = VARIANT_FALSE;
        event.BeforeNavigate2(container.EventSink(), step.url);
        EXPECT_EQ(VARIANT_FALSE, event.cancel) << "never cancelled";
        EXPECT_EQ(step.prev, std::wstring(container.PrevUrl())) << step.url;
        EXPECT_EQ(step.cur, std::wstring(container.CurUrl())) << step.url;
    }
}

} // namespace
