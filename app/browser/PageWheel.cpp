#include "app/browser/PageWheel.h"

#include <servprov.h>
#include <shlguid.h>
#include <shlobj.h>

#include "base/ComPtr.h"

void ScrollPageByWheel(IUnknown* control, short delta)
{
    OutputDebugStringW(L"发送消息");
    CComPtr<IServiceProvider> services;
    if (!control ||
        FAILED(control->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&services))))
        return;
    CComPtr<IOleWindow> frame;
    if (FAILED(services->QueryService(SID_SShellBrowser, IID_IOleWindow, reinterpret_cast<void**>(&frame))) ||
        !frame)
        return;
    HWND frameWindow = nullptr;
    if (FAILED(frame->GetWindow(&frameWindow)) || !frameWindow)
        return;
    HWND view = FindWindowExW(frameWindow, nullptr, L"Shell DocObject View", nullptr);
    HWND server = view ? FindWindowExW(view, nullptr, L"Internet Explorer_Server", nullptr) : nullptr;
    if (server)
        SendMessageW(server, WM_VSCROLL, delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
}
