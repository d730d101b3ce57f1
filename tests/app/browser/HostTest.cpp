// The container with the real WebBrowser control: hosting, navigation calls,
// events, the error-page path, and the waiting text on the background.
#include <gtest/gtest.h>

#include <idispids.h>
#include <mshtmhst.h>

#include "base/Handle.h"
#include "skin/SkFontPool.h"
#include "tests/app/browser/BrowserTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr COLORREF kBackground = 0xFDFCFB;
const wchar_t kMissing[] = L"http://127.0.0.1:9/missing.html";

bool HasDescendantOfClass(HWND parent, const wchar_t* className)
{
    struct Search {
        const wchar_t* name;
        bool found;
    } search{className, false};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            wchar_t name[64] = {};
            GetClassNameW(hwnd, name, 64);
            if (lstrcmpW(name, s->name) == 0)
                s->found = true;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What the window shows, drawn through WM_PRINT into a 32-bit bitmap.
struct Snapshot {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels; // 0x00RRGGBB, top-down

    explicit Snapshot(HWND hwnd)
    {
        RECT rc;
        GetClientRect(hwnd, &rc);
        width = rc.right;
        height = rc.bottom;
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        CWindowDc screen(nullptr);
        CBitmapHandle bitmap(CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
        CMemoryDc dc(CreateCompatibleDC(screen));
        {
            CSelectObject select(dc, bitmap);
            SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT | PRF_ERASEBKGND);
            GdiFlush();
            const DWORD* p = static_cast<const DWORD*>(bits);
            pixels.assign(p, p + width * height);
        }
    }
    DWORD At(int x, int y) const { return pixels[y * width + x] & 0xFFFFFF; }
};

DWORD Rgb(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

class HostTest : public ::testing::Test {
protected:
    CComApartment com;
    CMenuTarget top;
    CTestContainer<CUiHtmlContainerWindow> container;

    void SetUp() override
    {
        ASSERT_TRUE(top.CreateTop());
        ASSERT_TRUE(container.Create(top.m_hWnd, RECT{0, 0, 300, 200}, WS_CHILD | WS_VISIBLE, 0, 114));
        container.SetBackgroundColor(kBackground);
        ASSERT_TRUE(container.CreateBrowser());
        PumpPending();
    }
    void TearDown() override
    {
        if (top.m_hWnd)
            top.DestroyWindow();
    }

    // The waiting text: background everywhere, dark text pixels only inside
    // the centred box of the text as the default skin font measures it.
    void ExpectWaitingText()
    {
        Snapshot shot(container.m_hWnd);
        ASSERT_EQ(300, shot.width);
        EXPECT_EQ(Rgb(kBackground), shot.At(0, 0));
        EXPECT_EQ(Rgb(kBackground), shot.At(299, 199));

        CWindowDc screen(nullptr);
        CSelectObject font(screen, SkFontPool::Instance().FontForStyle(0));
        RECT text = {0, 0, 0, 0};
        DrawTextW(screen, L"正在读取信息...", -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        const int left = (300 - text.right) / 2;
        const int top = (200 - text.bottom) / 2;
        int inside = 0;
        int outside = 0;
        for (int y = 0; y < shot.height; ++y) {
            for (int x = 0; x < shot.width; ++x) {
                if (shot.At(x, y) == Rgb(kBackground))
                    continue;
                const bool inBox =
                    x >= left - 2 && x <= left + text.right + 2 && y >= top - 2 && y <= top + text.bottom + 2;
                ++(inBox ? inside : outside);
            }
        }
        EXPECT_GT(inside, 30) << "the text is drawn";
        EXPECT_EQ(0, outside) << "nothing but the text on the background";
    }
};

TEST_F(HostTest, ControlLivesInAHiddenChildWithId6ReadyForQuietNavigation)
{
    HWND child = container.BrowserWindow();
    ASSERT_TRUE(IsWindow(child));
    EXPECT_EQ(container.m_hWnd, GetParent(child));
    EXPECT_EQ(6, GetDlgCtrlID(child));
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CLIPCHILDREN);
    EXPECT_TRUE(HasDescendantOfClass(child, L"Shell Embedding")) << "activated in place";

    CComPtr<IWebBrowser2> browser = container.Browser();
    ASSERT_TRUE(browser);
    VARIANT_BOOL silent = VARIANT_FALSE;
    VARIANT_BOOL dropTarget = VARIANT_TRUE;
    browser->get_Silent(&silent);
    browser->get_RegisterAsDropTarget(&dropTarget);
    EXPECT_EQ(VARIANT_TRUE, silent);
    EXPECT_EQ(VARIANT_FALSE, dropTarget);
    EXPECT_EQ(std::vector<std::wstring>{L"about:blank"}, container.navigations);

    // Resizing the container keeps the child over all of it.
    MoveWindow(container.m_hWnd, 0, 0, 320, 240, TRUE);
    RECT rc;
    GetClientRect(child, &rc);
    EXPECT_EQ(320, rc.right);
    EXPECT_EQ(240, rc.bottom);

    // Destroying the container takes the child with it.
    container.DestroyWindow();
    EXPECT_FALSE(IsWindow(child));
}

// An external dispatch that notes any question for IUnknown.
class CExternalProbe : public IDispatch {
public:
    int unknownQueries = 0;
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (iid == IID_IUnknown)
            ++unknownQueries;
        if (iid != IID_IDispatch)
            return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override
    {
        return E_NOTIMPL;
    }
};

TEST_F(HostTest, ControlSiteServesTheOwnersExternalAndItsAmbientProperties)
{
    CExternalProbe external;
    EXPECT_EQ(S_OK, container.SetExternalDispatch(&external));

    CComPtr<IOleObject> ole;
    ASSERT_EQ(S_OK, container.HostWindow().QueryControl(&ole));
    CComPtr<IOleClientSite> site;
    ASSERT_EQ(S_OK, ole->GetClientSite(&site));
    ASSERT_TRUE(site);
    CComPtr<IDocHostUIHandler> uiHandler;
    ASSERT_EQ(S_OK, site.QueryInterface(&uiHandler));
    CComPtr<IDispatch> given;
    EXPECT_EQ(S_OK, uiHandler->GetExternal(&given));
    EXPECT_EQ(&external, given.Get());
    given.Release();
    EXPECT_EQ(0, external.unknownQueries);

    CComPtr<IDispatch> ambient;
    ASSERT_EQ(S_OK, site.QueryInterface(&ambient));
    const struct {
        DISPID id;
        HRESULT hr;
        VARIANT_BOOL value;
    } table[] = {
        {DISPID_AMBIENT_USERMODE, S_OK, VARIANT_TRUE},
        {DISPID_AMBIENT_SILENT, S_OK, VARIANT_TRUE},
        {DISPID_AMBIENT_OFFLINEIFNOTCONNECTED, S_OK, VARIANT_FALSE},
        {DISPID_AMBIENT_SHOWHATCHING, S_OK, VARIANT_FALSE},
        {-5512 /* download control */, DISP_E_MEMBERNOTFOUND, VARIANT_FALSE},
    };
    for (const auto& entry : table) {
        CComVariant value;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        EXPECT_EQ(entry.hr, ambient->Invoke(entry.id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value,
                                            nullptr, nullptr))
            << entry.id;
        if (entry.hr == S_OK) {
            EXPECT_EQ(VT_BOOL, value.vt);
            EXPECT_EQ(entry.value, value.boolVal) << entry.id;
        }
    }

    // Setting none takes it back.
    container.SetExternalDispatch(nullptr);
    EXPECT_EQ(S_FALSE, uiHandler->GetExternal(&given));
    EXPECT_EQ(1, external.refs);
}

TEST_F(HostTest, NavigateLoadsBlankFirstThenTheAddress)
{
    container.navigations.clear();
    EXPECT_TRUE(container.Navigate(L"http://127.0.0.1:9/first.html"));
    EXPECT_EQ(L"http://127.0.0.1:9/first.html", std::wstring(container.Url()));
    PumpUntil([&] { return container.navigations.size() >= 2; });
    EXPECT_EQ((std::vector<std::wstring>{L"about:blank", L"http://127.0.0.1:9/first.html"}),
              container.navigations);
}

TEST_F(HostTest, FailedAddressShowsTheErrorPageOnce)
{
    CTempFolder folder;
    CString errorPage = folder / L"error.html";
    WriteFileBytes(errorPage, "<html><body>error</body></html>");

    container.navigations.clear();
    container.NavigateWithErrorPage(errorPage, kMissing);
    ASSERT_TRUE(PumpUntil([&] { return container.navigations.size() >= 3; }));
    PumpPending();
    ASSERT_GE(container.navigations.size(), 3u);
    EXPECT_EQ(kMissing, container.navigations[1]);
    EXPECT_NE(std::wstring::npos, container.navigations[2].find(L"error.html")) << "the error page follows";
    EXPECT_EQ(3u, container.navigations.size()) << "no second try";
    EXPECT_EQ(kMissing, std::wstring(container.Url())) << "the address stays the one asked for";
    EXPECT_EQ(std::wstring(errorPage), std::wstring(container.ErrorPage()));
    // Without a browser engine the error page fails too: the waiting text stays.
    EXPECT_FALSE(IsWindowVisible(container.BrowserWindow()));
    ExpectWaitingText();
}

TEST_F(HostTest, FailureWithoutAnErrorPageLeavesTheWaitingText)
{
    container.Navigate(kMissing);
    ASSERT_TRUE(PumpUntil([&] { return container.NavigationFailed(); }));
    PumpPending();
    EXPECT_FALSE(IsWindowVisible(container.BrowserWindow()));
    ExpectWaitingText();
    // A new navigation starts clean.
    container.Navigate(L"about:blank");
    EXPECT_FALSE(container.NavigationFailed());
}

TEST_F(HostTest, NavigateLocalTakesAnExistingFileWithItsQueryElseTheFallback)
{
    CTempFolder folder;
    CString page = folder / L"menu.html";
    WriteFileBytes(page, "<html></html>");

    container.NavigateLocal(page + L"?action=2", L"C:\\error.html", L"http://127.0.0.1:9/fallback.html");
    EXPECT_EQ(std::wstring(L"file:///") + std::wstring(page) + L"?action=2", std::wstring(container.Url()));
    EXPECT_TRUE(container.ErrorPage().IsEmpty());

    container.NavigateLocal(folder / L"absent.html?action=2", L"C:\\error.html",
                            L"http://127.0.0.1:9/fallback.html");
    EXPECT_EQ(L"http://127.0.0.1:9/fallback.html", std::wstring(container.Url()));
    EXPECT_EQ(L"C:\\error.html", std::wstring(container.ErrorPage()));
    PumpPending();
}

} // namespace
