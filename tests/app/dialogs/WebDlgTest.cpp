// The web dialogs with the program's own layouts and the real browser host:
// placement, styles, the pages' close request and the kind flags, however a
// window goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/common/ScreenGeometry.h"
#include "app/dialogs/WebDlg.h"
#include "app/mainwnd/ProgramFlags.h"
#include "app/startup/RunApplication.h"
#include "base/NotifyRecord.h"
#include "tests/app/browser/BrowserTestSupport.h"
#include "tests/app/mainwnd/DialogAction.h"
#include "tests/support/Picture.h"
#include "tools/skinsample/Screenshot.h"

namespace {

enum class Kind { News, Ad };

// Calls Ex_CloseRbPopDlg on a page's script object as a page script does.
void CallClosePopup(IDispatch& external)
{
    LPOLESTR name = const_cast<LPOLESTR>(L"Ex_CloseRbPopDlg");
    DISPID id = 0;
    ASSERT_EQ(S_OK, external.GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_I4;
    arg.lVal = 1;
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    ASSERT_EQ(S_OK, external.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                    nullptr, nullptr));
}

// The place in the Z order each window of this thread was asked for.
// Without a window manager Wine leaves the Z order of top-level windows
// alone, so the tests look at the request itself.
class CZOrderRecorder {
public:
    CZOrderRecorder()
    {
        s_self = this;
        m_hook = SetWindowsHookExW(WH_CALLWNDPROC, &CZOrderRecorder::Proc, nullptr, GetCurrentThreadId());
    }
    ~CZOrderRecorder()
    {
        UnhookWindowsHookEx(m_hook);
        s_self = nullptr;
    }
    std::vector<std::pair<HWND, HWND>> requests; // window, insert after

    // The requests for one window.
    std::vector<HWND> For(HWND hwnd) const
    {
        std::vector<HWND> found;
        for (const auto& request : requests)
            if (request.first == hwnd)
                found.push_back(request.second);
        return found;
    }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && s_self && call->message == WM_WINDOWPOSCHANGING) {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(call->lParam);
            if (!(pos->flags & SWP_NOZORDER))
                s_self->requests.emplace_back(call->hwnd, pos->hwndInsertAfter);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline CZOrderRecorder* s_self = nullptr;
    HHOOK m_hook = nullptr;
};

class WebDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const bool started = [] {
            StartSkinLibrary();
            return true;
        }();
        (void)started;
        g_bNewsDlgOpen = FALSE;
        g_bAdPopupOpen = FALSE;
    }
    void TearDown() override
    {
        for (HWND hwnd : opened)
            if (IsWindow(hwnd))
                DestroyWindow(hwnd);
        PumpPending();
    }

    // Opens a modeless window of the kind as the pop-up timers do.
    CWebDlg* Open(Kind kind)
    {
        const CString fallback = L"C:\\Ravonyx\\Local\\management\\min.html";
        std::unique_ptr<CWebDlg> dialog;
        if (kind == Kind::News)
            dialog = std::make_unique<CWebDlgForNew>(L"http://127.0.0.1:9/news.html", fallback);
        else
            dialog = std::make_unique<CWebDlgForNewRb>(L"http://127.0.0.1:9/ad.html", fallback);
        HWND hwnd = CWebDlg::OpenModeless(std::move(dialog));
        EXPECT_NE(hwnd, nullptr);
        opened.push_back(hwnd);
        return dynamic_cast<CWebDlg*>(CWindowImpl::FromHandle(hwnd));
    }

    CComApartment com;
    std::vector<HWND> opened;
};

TEST_F(WebDlgTest, NewsWindowIsCentredBehindTheOthersAfterItsTimer)
{
    CWebDlg* news = Open(Kind::News);
    ASSERT_NE(news, nullptr);
    HWND hwnd = news->m_hWnd;
    EXPECT_TRUE(g_bNewsDlgOpen);
    EXPECT_FALSE(IsWindowVisible(hwnd)) << "shown only by its timer";
    wchar_t title[64] = {};
    GetWindowTextW(hwnd, title, 64);
    EXPECT_STREQ(L"拉沃资讯", title);
    HWND browser = GetDlgItem(news->m_view.m_hWnd, CWebDlg::IDC_WEB_BROWSER);
    EXPECT_EQ(browser, news->Container().m_hWnd);
    EXPECT_EQ(news->Container().BackgroundColor(), CWebDlg::kBackground);
    EXPECT_EQ(news->Container().ErrorPage(), CString(L"C:\\Ravonyx\\Local\\management\\min.html"));

    CZOrderRecorder zorder;
    SendMessageW(hwnd, WM_TIMER, CWebDlg::TIMER_SHOW_NEWS, 0);
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(700, rect.right - rect.left);
    EXPECT_EQ(450, rect.bottom - rect.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 700) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 450) / 2, rect.top);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(std::vector<HWND>{HWND_BOTTOM}, zorder.For(hwnd))
        << "the news window goes behind the others, once";
}

TEST_F(WebDlgTest, AdWindowTakesTheServersSizeAtTheCornerTopmostAndOutOfTheTaskBar)
{
    g_nAdPopupWidth = 300;
    g_nAdPopupHeight = 200;
    CWebDlg* ad = Open(Kind::Ad);
    ASSERT_NE(ad, nullptr);
    HWND hwnd = ad->m_hWnd;
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    RECT before = {};
    GetWindowRect(hwnd, &before);

    CZOrderRecorder zorder;
    SendMessageW(hwnd, WM_TIMER, CWebDlg::TIMER_SHOW_AD, 0);
    RECT wanted = {before.right - 300, before.bottom - 200, before.right, before.bottom};
    RECT corner = {};
    PopupCornerRect(corner, wanted);
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(corner.left, rect.left);
    EXPECT_EQ(corner.top, rect.top);
    EXPECT_EQ(300, rect.right - rect.left);
    EXPECT_EQ(200, rect.bottom - rect.top);
    EXPECT_EQ(std::vector<HWND>{HWND_TOPMOST}, zorder.For(hwnd));
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(IsWindowVisible(hwnd));

    // Other timers do nothing.
    SendMessageW(hwnd, WM_TIMER, 12, 0);
    GetWindowRect(hwnd, &before);
    EXPECT_EQ(0, memcmp(&before, &rect, sizeof(rect)));
}

// However large the server asks for, the advertising pop-up stays inside the
// work area, so its page's close button can be reached.
TEST_F(WebDlgTest, AdWindowLargerThanTheScreenStaysInsideTheWorkArea)
{
    RECT work = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    const struct {
        int width, height;
    } sizes[] = {{5000, 3000}, {5000, 100}, {100, 3000}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        g_nAdPopupWidth = size.width;
        g_nAdPopupHeight = size.height;
        CWebDlg* ad = Open(Kind::Ad);
        ASSERT_NE(ad, nullptr);
        SendMessageW(ad->m_hWnd, WM_TIMER, CWebDlg::TIMER_SHOW_AD, 0);
        RECT rect = {};
        GetWindowRect(ad->m_hWnd, &rect);
        EXPECT_GE(rect.left, work.left);
        EXPECT_GE(rect.top, work.top);
        EXPECT_LE(rect.right, work.right);
        EXPECT_LE(rect.bottom, work.bottom);
        EXPECT_EQ(rect.right - rect.left, std::min<LONG>(size.width, work.right - work.left));
        EXPECT_EQ(rect.bottom - rect.top, std::min<LONG>(size.height, work.bottom - work.top));
        DestroyWindow(ad->m_hWnd);
    }
}

// Each way a window goes clears its kind's flag, so the next one may open.
TEST_F(WebDlgTest, FlagsClearHoweverTheWindowGoes)
{
    enum class Way { CloseButton, Page, Destroyed };
    struct Case {
        Kind kind;
        Way way;
    };
    const Case cases[] = {
        {Kind::News, Way::CloseButton}, {Kind::News, Way::Page},    {Kind::News, Way::Destroyed},
        {Kind::Ad, Way::Page},          {Kind::Ad, Way::Destroyed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "kind " << static_cast<int>(c.kind) << " way " << static_cast<int>(c.way));
        BOOL& flag = c.kind == Kind::News ? g_bNewsDlgOpen : g_bAdPopupOpen;
        CWebDlg* dialog = Open(c.kind);
        ASSERT_NE(dialog, nullptr);
        HWND hwnd = dialog->m_hWnd;
        flag = TRUE; // as the opener sets it
        switch (c.way) {
        case Way::CloseButton: {
            SkItemClickNotify click = {};
            click.hdr.hwndFrom = dialog->m_view.m_hWnd;
            click.hdr.idFrom = IDC_SKIN_VIEW;
            click.hdr.code = SKN_ITEM_CLICK;
            click.itemId = CWebDlg::IDC_CLOSE_BUTTON;
            SendNotifyRecord(hwnd, IDC_SKIN_VIEW, click);
            break;
        }
        case Way::Page:
            CallClosePopup(dialog->PageExternal());
            EXPECT_TRUE(IsWindow(hwnd)) << "closed while the page's call still ran";
            break;
        case Way::Destroyed:
            DestroyWindow(hwnd);
            break;
        }
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
        EXPECT_FALSE(flag);
    }
}

// A page reaches only its own dialog; the main window's pages close nothing.
TEST_F(WebDlgTest, EachPageClosesOnlyItsOwnDialog)
{
    CWebDlg* news = Open(Kind::News);
    CWebDlg* ad = Open(Kind::Ad);
    ASSERT_TRUE(news && ad);
    HWND newsWnd = news->m_hWnd;
    HWND adWnd = ad->m_hWnd;

    CallClosePopup(CBrowserExternalRB::Instance());
    PumpPending();
    EXPECT_TRUE(IsWindow(newsWnd));
    EXPECT_TRUE(IsWindow(adWnd));

    CallClosePopup(ad->PageExternal());
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(adWnd); }));
    EXPECT_TRUE(IsWindow(newsWnd));
    EXPECT_TRUE(g_bNewsDlgOpen);
    EXPECT_FALSE(g_bAdPopupOpen);

    CallClosePopup(news->PageExternal());
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(newsWnd); }));
    EXPECT_FALSE(g_bNewsDlgOpen);
}

// The feedback window runs modally, is ended by its page, and stays its
// opener's to delete: its members are still sound after DoModal.
TEST_F(WebDlgTest, FeedbackRunsModallyAndIsEndedByItsPage)
{
    CWebDlg* newsBefore = Open(Kind::News);
    ASSERT_NE(newsBefore, nullptr);
    HWND newsWnd = newsBefore->m_hWnd;
    bool ran = false;
    SIZE client = {};
    {
        CDialogAction<CWebDlgForFeedback> action([&](CWebDlgForFeedback& feedback) {
            ran = true;
            RECT rect = {};
            GetClientRect(feedback.m_hWnd, &rect);
            client = {rect.right, rect.bottom};
            EXPECT_NE(GetDlgItem(feedback.m_view.m_hWnd, CWebDlg::IDC_WEB_BROWSER), nullptr);
            EXPECT_EQ(feedback.PageExternal().Owner(), static_cast<CScriptPopupOwner*>(&feedback));
            CallClosePopup(feedback.PageExternal());
            EXPECT_TRUE(IsWindow(feedback.m_hWnd));
        });
        CWebDlgForFeedback feedback(L"http://127.0.0.1:9/feedback.html", L"C:\\Ravonyx\\error.html");
        feedback.DoModal();
        EXPECT_EQ(feedback.m_hWnd, nullptr);
        EXPECT_EQ(feedback.Url(), CString(L"http://127.0.0.1:9/feedback.html"));
        EXPECT_EQ(feedback.PageExternal().Owner(), nullptr);
    }
    EXPECT_TRUE(ran);
    EXPECT_EQ(502, client.cx);
    EXPECT_EQ(388, client.cy);
    EXPECT_TRUE(IsWindow(newsWnd)) << "the feedback page closed another window";
    EXPECT_TRUE(g_bNewsDlgOpen);
}

} // namespace

// Pictures of the three windows as the user sees them:
// <build>/webdlg-news.png, webdlg-ad.png and webdlg-feedback.png.
// The pictures show each window at its size, its page area light (the
// browser's white or the container's background) and its close button, where
// it has one, standing out from the band it sits on.
TEST_F(WebDlgTest, PhotographTheWindows)
{
    const CString folder = RAVONYX_SCREENSHOT_DIR;
    auto photograph = [&](CWebDlg& dialog, const wchar_t* name, SIZE size) {
        const HWND hwnd = dialog.m_hWnd;
        UpdateWindow(hwnd);
        PumpPending();
        RECT rect = {};
        GetWindowRect(hwnd, &rect);
        EXPECT_EQ(rect.right - rect.left, size.cx) << name;
        EXPECT_EQ(rect.bottom - rect.top, size.cy) << name;
        CPicture picture;
        ASSERT_TRUE(TakeScreenPicture(rect, picture)) << name;
        const COLORREF centre = picture.At(picture.width / 2, picture.height / 2);
        EXPECT_GE(std::min({GetRValue(centre), GetGValue(centre), GetBValue(centre)}), 0xF0) << name;
        if (CSkWindow* close = dialog.m_view.FindItem(CWebDlg::IDC_CLOSE_BUTTON)) {
            EXPECT_GE(ContrastWithin(picture.Area(close->m_rect)), 3.0) << name << ": the close button";
        }
        EXPECT_TRUE(SaveScreenArea(rect, folder + L"/" + name));
    };
    CWebDlg* news = Open(Kind::News);
    ASSERT_NE(news, nullptr);
    SendMessageW(news->m_hWnd, WM_TIMER, CWebDlg::TIMER_SHOW_NEWS, 0);
    SetWindowPos(news->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_NE(news->m_view.FindItem(CWebDlg::IDC_CLOSE_BUTTON), nullptr);
    photograph(*news, L"webdlg-news.png", SIZE{700, 450});
    DestroyWindow(news->m_hWnd);

    g_nAdPopupWidth = 280;
    g_nAdPopupHeight = 166;
    CWebDlg* ad = Open(Kind::Ad);
    ASSERT_NE(ad, nullptr);
    SendMessageW(ad->m_hWnd, WM_TIMER, CWebDlg::TIMER_SHOW_AD, 0);
    photograph(*ad, L"webdlg-ad.png", SIZE{280, 166});
    DestroyWindow(ad->m_hWnd);

    CDialogAction<CWebDlgForFeedback> action([&](CWebDlgForFeedback& feedback) {
        EXPECT_NE(feedback.m_view.FindItem(CWebDlg::IDC_CLOSE_BUTTON), nullptr);
        photograph(feedback, L"webdlg-feedback.png", SIZE{502, 388});
        ClickItem(feedback, CWebDlg::IDC_CLOSE_BUTTON);
    });
    CWebDlgForFeedback feedback(L"http://127.0.0.1:9/feedback.html", L"C:\\Ravonyx\\error.html");
    feedback.DoModal();
    EXPECT_EQ(feedback.m_hWnd, nullptr) << "the close button ends the modal window";
}
