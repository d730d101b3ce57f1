// The WebBrowser control's events that a container handles, unpacked by
// CWebBrowserEventSink. A cancel flag points to the control's own flag.
#pragma once

#include <windows.h>

#include <oaidl.h>

class CWebBrowserEventHandler {
public:
    virtual void OnBeforeNavigate2(BSTR url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                                   VARIANT* headers, VARIANT_BOOL* cancel) = 0;
    virtual void OnNavigateComplete2(BSTR url) = 0;
    virtual void OnNavigateError(BSTR url, VARIANT* targetFrame, VARIANT* statusCode,
                                 VARIANT_BOOL* cancel) = 0;
    virtual void OnNewWindow3(BSTR url, VARIANT_BOOL* cancel) = 0;

protected:
    ~CWebBrowserEventHandler() = default;
};
