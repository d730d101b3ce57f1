// Shared pieces of the browser tests: the COM apartment, a message pump that
// waits for a condition, a top-level window that records the messages the
// containers send it, and the containers with their outside calls recorded.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/browser/BrowserMessages.h"
#include "app/browser/UiHtmlContainerWindow.h"
#include "app/browser/UiHtmlListWindow.h"
#include "app/browser/UiHtmlSortWindow.h"
#include "base/MarkedSend.h"
#include "base/WindowClass.h"
#include "base/WindowImpl.h"

class CComApartment {
public:
    CComApartment() { CoInitialize(nullptr); }
    ~CComApartment() { CoUninitialize(); }
};

// Runs the thread's messages until done() or the time is up; done()'s last
// answer.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// Lets the thread's pending messages run.
inline void PumpPending()
{
    PumpUntil([] { return false; }, 200);
}

// The main window's stand-in: records the link addresses of WM_MENU_NAVIGATE.
class CMenuTarget : public CWindowImpl {
public:
    std::vector<std::wstring> links;

    HWND CreateTop(int width = 400, int height = 300)
    {
        static CWindowClass cls(0, LoadCursorW(nullptr, IDC_ARROW));
        return Create(cls, nullptr, RECT{0, 0, width, height}, L"browser test", WS_POPUP | WS_VISIBLE);
    }

protected:
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override
    {
        if (msg != WM_MENU_NAVIGATE)
            return FALSE;
        if (const wchar_t* link = TakeMarkedBlock<wchar_t>(hwnd, msg, kMenuLinkKind, wParam))
            links.push_back(link);
        result = 0;
        return TRUE;
    }
};

// A container of kind Base whose navigations, outside openings and document
// are seen by the test.
template <typename Base> class CTestContainer : public Base {
public:
    std::vector<std::wstring> navigations; // addresses of BeforeNavigate2
    std::vector<std::wstring> openedOutside;
    CComPtr<IDispatch> document; // stand-in page; none: the control's

    CComPtr<IDispatch> GetDocument() override { return document ? document : Base::GetDocument(); }

protected:
    void OnBeforeNavigate(const wchar_t* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                          VARIANT* headers, VARIANT_BOOL* cancel) override
    {
        navigations.push_back(url);
        Base::OnBeforeNavigate(url, flags, targetFrame, postData, headers, cancel);
    }
    void OpenOutside(const wchar_t* url) override { openedOutside.push_back(url); }
};
