// Calling page functions and the document UI handlers, through a stand-in
// page given to the containers in place of the control's document.
#include <gtest/gtest.h>

#include <cstddef>

#include "app/browser/BrowserExternal.h"
#include "app/browser/BrowserExternalRB.h"
#include "app/browser/CallPageScript.h"
#include "app/browser/ImpDocHostUIHandle.h"
#include "app/browser/ImpDocHostUIHandleR.h"
#include "tests/app/browser/BrowserTestSupport.h"
#include "tests/app/browser/StandInDocument.h"

namespace {

template <typename Container> class PageTestBase : public ::testing::Test {
protected:
    CComApartment com;
    CMenuTarget top;
    CRecordingScript script;
    CStandInDocument page;
    CTestContainer<Container> container;

    void SetUp() override
    {
        script.functions = {L"displayDownloadProgress", L"EnableStartBnt"};
        page.script = &script;
        container.document = static_cast<IHTMLDocument2*>(&page);
        ASSERT_TRUE(top.CreateTop());
        ASSERT_TRUE(container.Create(top.m_hWnd, RECT{0, 0, 200, 150}, WS_CHILD | WS_VISIBLE, 0, 115));
        ASSERT_TRUE(container.CreateBrowser());
        PumpPending();
    }
    void TearDown() override { top.DestroyWindow(); }
};

using PageScriptTest = PageTestBase<CUiHtmlListWindow>;
using MenuPageTest = PageTestBase<CUiHtmlSortWindow>;
using PopupPageTest = PageTestBase<CUiHtmlContainerWindow>;

TEST_F(PageScriptTest, CallsThePageFunctionByNameWithOneTextArgument)
{
    const wchar_t record[] = L"{\"soft_id\":\"123\",\"content\":\"45\",\"speed\":\"12.5\"}";
    CComVariant result;
    ASSERT_TRUE(CallPageScript(container, L"displayDownloadProgress", record, &result));
    ASSERT_EQ(1u, script.calls.size());
    const CRecordingScript::Call& call = script.calls[0];
    EXPECT_EQ(1, call.id);
    EXPECT_EQ(DISPATCH_METHOD, call.flags);
    EXPECT_EQ(0u, call.lcid);
    EXPECT_EQ(1u, call.argCount);
    EXPECT_EQ(VT_BSTR, call.argType);
    EXPECT_EQ(record, call.arg);
    EXPECT_EQ(std::vector<LCID>{2048}, script.nameLocales);
    ASSERT_EQ(VT_BSTR, result.vt);
    EXPECT_STREQ((std::wstring(L"done:") + record).c_str(), result.bstrVal);

    // No result wanted.
    EXPECT_TRUE(CallPageScript(container, L"EnableStartBnt", L"123"));
    ASSERT_EQ(2u, script.calls.size());
    EXPECT_EQ(2, script.calls[1].id);
    EXPECT_EQ(L"123", script.calls[1].arg);
}

TEST_F(PageScriptTest, FailsWithoutTheFunctionTheScriptOrTheCall)
{
    CComVariant result;
    EXPECT_FALSE(CallPageScript(container, L"displaydownloadprogress", L"x", &result));
    EXPECT_TRUE(script.calls.empty()) << "a missing function is not called";
    EXPECT_EQ(VT_EMPTY, result.vt);

    script.invokeResult = DISP_E_EXCEPTION;
    EXPECT_FALSE(CallPageScript(container, L"EnableStartBnt", L"7", &result));
    EXPECT_EQ(VT_EMPTY, result.vt);

    page.script = nullptr;
    EXPECT_FALSE(CallPageScript(container, L"EnableStartBnt", L"7", &result));

    // The control's own document: none without a browser engine.
    container.document.Release();
    EXPECT_FALSE(CallPageScript(container, L"EnableStartBnt", L"7", &result));
}

// The UI handler each kind of container puts on its page, and the script
// object that handler gives the page.
TEST_F(PageScriptTest, ContentPageGetsTheCatalogueScriptObject)
{
    ASSERT_EQ(1u, page.uiHandlers.size());
    EXPECT_EQ(&CImpDocHostUIHandleR::Shared(), page.uiHandlers[0]);
    CComPtr<IDispatch> external;
    EXPECT_EQ(S_OK, page.uiHandlers[0]->GetExternal(&external));
    EXPECT_EQ(static_cast<IDispatch*>(&CBrowserExternal::Instance()), external.Get());
}

TEST_F(MenuPageTest, MenuPageGetsThePopupScriptObject)
{
    ASSERT_EQ(1u, page.uiHandlers.size());
    EXPECT_EQ(&CImpDocHostUIHandle::Shared(), page.uiHandlers[0]);
    CComPtr<IDispatch> external;
    EXPECT_EQ(S_OK, page.uiHandlers[0]->GetExternal(&external));
    EXPECT_EQ(static_cast<IDispatch*>(&CBrowserExternalRB::Instance()), external.Get());
}

TEST_F(PopupPageTest, HandlerHidesTheMenuAndBordersAndAnswersEverythingElse)
{
    ASSERT_EQ(1u, page.uiHandlers.size());
    IDocHostUIHandler* handler = page.uiHandlers[0];
    POINT pt = {10, 10};
    EXPECT_EQ(S_OK, handler->ShowContextMenu(0, &pt, nullptr, nullptr)) << "no context menu";
    EXPECT_EQ(S_OK, handler->ShowUI(0, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(S_OK, handler->TranslateAccelerator(nullptr, nullptr, 0));
    LPOLESTR key = reinterpret_cast<LPOLESTR>(1);
    EXPECT_EQ(S_OK, handler->GetOptionKeyPath(&key, 0));
    EXPECT_EQ(nullptr, key);

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, handler->QueryInterface(IID_IDispatch, &out));
    EXPECT_EQ(E_INVALIDARG, handler->QueryInterface(IID_IUnknown, nullptr));
    EXPECT_EQ(S_OK, handler->QueryInterface(IID_IUnknown, &out));
    EXPECT_EQ(handler, out);
    handler->Release();
}

TEST(DocHostUIHandler, HostInfoIsFilledByTheCallersOwnSize)
{
    CImpDocHostUIHandle handler;
    // The structure as this build's browser passes it.
    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof(info);
    info.dwFlags = DOCHOSTUIFLAG_DIALOG;
    info.dwDoubleClick = 7;
    info.pchHostCss = reinterpret_cast<OLECHAR*>(1);
    info.pchHostNS = reinterpret_cast<OLECHAR*>(1);
    EXPECT_EQ(S_OK, handler.GetHostInfo(&info));
    EXPECT_EQ(sizeof(info), info.cbSize);
    EXPECT_EQ(DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO, info.dwFlags);
    EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT), info.dwDoubleClick);
    EXPECT_EQ(nullptr, info.pchHostCss);
    EXPECT_EQ(nullptr, info.pchHostNS);

    // A caller with a shorter structure gets nothing written past its end.
    struct {
        DOCHOSTUIINFO info;
        unsigned char guard[16];
    } shortInfo;
    memset(&shortInfo, 0xAB, sizeof(shortInfo));
    shortInfo.info.cbSize = offsetof(DOCHOSTUIINFO, pchHostCss);
    EXPECT_EQ(S_OK, handler.GetHostInfo(&shortInfo.info));
    EXPECT_EQ(offsetof(DOCHOSTUIINFO, pchHostCss), shortInfo.info.cbSize);
    EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT), shortInfo.info.dwDoubleClick);
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(&shortInfo.info);
    for (size_t i = offsetof(DOCHOSTUIINFO, pchHostCss); i < sizeof(shortInfo); ++i)
        ASSERT_EQ(0xAB, raw[i]) << "byte " << i;
}

} // namespace
