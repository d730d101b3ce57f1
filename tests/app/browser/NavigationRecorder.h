// Listens to a browser control beside its container: the addresses it was
// about to load, as the control raised them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/browser/WebBrowserEventSink.h"

// One BeforeNavigate2 of a browser control as the control raised it.
struct Navigation {
    std::wstring url;
    std::wstring headers;
    std::string postData;
};

// Listens to a browser control beside its container and notes the
// addresses it is about to load.
class CNavigationRecorder : public CWebBrowserEventHandler {
public:
    std::vector<Navigation> seen;

    void Listen(IWebBrowser2* browser)
    {
        m_sink = CWebBrowserEventSink::Create(this);
        ASSERT_EQ(S_OK, m_sink->Connect(browser));
    }
    ~CNavigationRecorder()
    {
        if (m_sink)
            m_sink->Disconnect();
    }

    void OnBeforeNavigate2(BSTR url, VARIANT*, VARIANT*, VARIANT* postData, VARIANT* headers,
                           VARIANT_BOOL*) override
    {
        Navigation navigation;
        navigation.url = url ? url : L"";
        if (headers && headers->vt == VT_BSTR && headers->bstrVal)
            navigation.headers = headers->bstrVal;
        // The post data comes as a reference to a reference to the bytes.
        while (postData && postData->vt == (VT_BYREF | VT_VARIANT))
            postData = postData->pvarVal;
        SAFEARRAY* bytes = nullptr;
        if (postData && (postData->vt & VT_ARRAY))
            bytes = (postData->vt & VT_BYREF) ? *postData->pparray : postData->parray;
        void* data = nullptr;
        if (bytes && SUCCEEDED(SafeArrayAccessData(bytes, &data))) {
            navigation.postData.assign(static_cast<const char*>(data), bytes->rgsabound[0].cElements);
            SafeArrayUnaccessData(bytes);
        }
        seen.push_back(navigation);
    }
    void OnNavigateComplete2(BSTR) override {}
    void OnNavigateError(BSTR, VARIANT*, VARIANT*, VARIANT_BOOL*) override {}
    void OnNewWindow3(BSTR, VARIANT_BOOL*) override {}

private:
    CComPtr<CWebBrowserEventSink> m_sink;
};

// The addresses a browser was sent to: each one follows the "about:blank"
// that the container loads first.
inline std::vector<std::wstring> Sent(const CNavigationRecorder& recorder)
{
    std::vector<std::wstring> sent;
    for (size_t i = 1; i < recorder.seen.size(); ++i) {
        if (recorder.seen[i - 1].url == L"about:blank")
            sent.push_back(recorder.seen[i].url);
    }
    return sent;
}
