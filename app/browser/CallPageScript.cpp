#include "app/browser/CallPageScript.h"

#include <mshtml.h>

#include "app/browser/UiHtmlContainerWindow.h"
#include "base/ComPtr.h"

bool CallPageScript(CUiHtmlContainerWindow& container, const wchar_t* name, const wchar_t* argument,
                    VARIANT* result)
{
    CComPtr<IDispatch> document = container.GetDocument();
    CComPtr<IHTMLDocument2> html;
    if (!document || FAILED(document.QueryInterface(&html)))
        return false;
    CComPtr<IDispatch> script;
    if (FAILED(html->get_Script(&script)) || !script)
        return false;

    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(script->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id)))
        return false;

    // One argument; with more they would go last-first.
    CComVariant args[1] = {CComVariant(argument)};
    DISPPARAMS params = {args, nullptr, 1, 0};
    CComVariant returned;
    EXCEPINFO exception = {};
    UINT argError = 0;
    HRESULT hr = script->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &returned, &exception, &argError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (FAILED(hr))
        return false;
    if (result)
        VariantCopy(result, &returned);
    return true;
}
