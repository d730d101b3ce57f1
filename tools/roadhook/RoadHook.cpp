// Test build only: a message-only window on the program's UI thread that
// calls the content page's script object through IDispatch, as a page does.
#include "tools/roadhook/RoadHook.h"

#include <oaidl.h>

#include <string>
#include <vector>

#include "app/browser/BrowserExternal.h"
#include "app/catalog/CatalogScriptHandlers.h"
#include "app/startup/CorvaneModule.h"

namespace {

// The content page's object answers only the program's own pages; the hook
// speaks for the "我的下载" page, which Wine cannot load.
class CHookHandlers : public CCatalogScriptHandlers {
public:
    bool IsProgramPageCall(IServiceProvider*) override
    {
        return IsProgramPage(L"file:///" + _Module.m_strAppDir + L"Local\\management\\mythemes.html");
    }
};

LRESULT CallScriptObject(const std::wstring& request)
{
    std::vector<std::wstring> words;
    size_t start = 0;
    for (;;) {
        const size_t bar = request.find(L'|', start);
        words.push_back(request.substr(start, bar - start));
        if (bar == std::wstring::npos)
            break;
        start = bar + 1;
    }
    // Once the main window gave the program's object its owner.
    const HWND owner = CBrowserExternal::Instance().OwnerWindow();
    if (!owner)
        return -1;
    static CHookHandlers handlers;
    static CBrowserExternal external;
    external.SetOwner(owner, &handlers);
    LPOLESTR names[] = {const_cast<LPOLESTR>(words[0].c_str())};
    DISPID id = 0;
    if (FAILED(external.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        return -1;
    // Script arguments arrive last first.
    std::vector<VARIANT> args(words.size() - 1);
    for (size_t i = 1; i < words.size(); ++i) {
        VARIANT& arg = args[words.size() - 1 - i];
        VariantInit(&arg);
        arg.vt = VT_I4;
        arg.lVal = _wtol(words[i].c_str());
    }
    DISPPARAMS params = {args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    VARIANT result;
    VariantInit(&result);
    external.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    LRESULT answer = 0;
    switch (result.vt) {
    case VT_BOOL:
        answer = result.boolVal ? 1 : 0;
        break;
    case VT_INT:
    case VT_I4:
        answer = result.lVal;
        break;
    case VT_BSTR:
        answer = static_cast<LRESULT>(SysStringLen(result.bstrVal));
        break;
    default:
        break;
    }
    VariantClear(&result);
    return answer;
}

LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!data || data->dwData != kRoadHookCall || !data->lpData || data->cbData < sizeof(wchar_t))
            return -1;
        return CallScriptObject(
            std::wstring(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t)));
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Made with the program's static objects, on the thread that runs its
// message loop.
struct CRoadHook {
    CRoadHook()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = HookProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kRoadHookClass;
        if (RegisterClassW(&wc))
            CreateWindowExW(0, kRoadHookClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                            nullptr);
    }
} g_roadHook;

} // namespace
