// A stand-in for a loaded page, given to a container in tests instead of the
// control's document: a minimal IHTMLDocument2 whose Script property is a
// recording script object, its window with frames, and ICustomDoc that
// keeps the UI handler it is given. (The browser engine that would make real documents is missing
// under Wine.)
#pragma once

#include <windows.h>

#include <mshtmhst.h>
#include <mshtml.h>

#include <string>
#include <vector>

#include "base/ComPtr.h"

// The page's script: functions by name, each call recorded.
class CRecordingScript : public IDispatch {
public:
    struct Call {
        DISPID id;
        WORD flags;
        LCID lcid;
        UINT argCount;
        VARTYPE argType;
        std::wstring arg;
    };

    std::vector<std::wstring> functions; // DISPID = index + 1
    std::vector<LCID> nameLocales;
    std::vector<Call> calls;
    HRESULT invokeResult = S_OK;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch)
            return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override
    {
        nameLocales.push_back(lcid);
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (size_t k = 0; k < functions.size(); ++k)
                if (functions[k] == names[i])
                    ids[i] = static_cast<DISPID>(k + 1);
            if (ids[i] == DISPID_UNKNOWN)
                return DISP_E_UNKNOWNNAME;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override
    {
        Call call{id, flags, lcid, params ? params->cArgs : 0, VT_EMPTY, L""};
        if (params && params->cArgs > 0) {
            call.argType = params->rgvarg[0].vt;
            if (call.argType == VT_BSTR && params->rgvarg[0].bstrVal)
                call.arg = params->rgvarg[0].bstrVal;
        }
        calls.push_back(call);
        if (FAILED(invokeResult))
            return invokeResult;
        if (result) {
            VariantInit(result);
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString((L"done:" + call.arg).c_str());
        }
        return S_OK;
    }

    LONG refs = 1;
};

// A page's window as the document's parentWindow and frames collection:
// its frames (other stand-in windows), its parent (none: it is the top
// one, its own parent), and whether its document is another origin's, which
// the engine refuses to hand to another page's script.
class CStandInWindow : public IHTMLWindow2 {
public:
    IHTMLDocument2* document = nullptr;
    CStandInWindow* parent = nullptr;
    std::vector<CStandInWindow*> frames;
    bool documentDenied = false;
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IHTMLFramesCollection2 &&
            iid != IID_IHTMLWindow2)
            return E_NOINTERFACE;
        *out = static_cast<IHTMLWindow2*>(this);
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

    // IHTMLFramesCollection2
    HRESULT STDMETHODCALLTYPE item(VARIANT* index, VARIANT* result) override
    {
        VariantInit(result);
        if (!index || index->vt != VT_I4 || index->lVal < 0 ||
            static_cast<size_t>(index->lVal) >= frames.size())
            return E_INVALIDARG;
        result->vt = VT_DISPATCH;
        result->pdispVal = frames[static_cast<size_t>(index->lVal)];
        result->pdispVal->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override
    {
        *p = static_cast<LONG>(frames.size());
        return S_OK;
    }

    // IHTMLWindow2: the frames, the parent and the document.
    HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2** p) override
    {
        *p = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_parent(IHTMLWindow2** p) override
    {
        *p = parent ? parent : this;
        (*p)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_document(IHTMLDocument2** p) override
    {
        *p = nullptr;
        if (documentDenied)
            return E_ACCESSDENIED;
        *p = document;
        if (document)
            document->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_defaultStatus(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_defaultStatus(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_status(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_status(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE setTimeout(BSTR, LONG, VARIANT*, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE clearTimeout(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE alert(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE confirm(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE prompt(BSTR, BSTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Image(IHTMLImageElementFactory**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_location(IHTMLLocation**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_history(IOmHistory**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE close() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_opener(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_opener(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_navigator(IOmNavigator**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_name(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_name(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE open(BSTR, BSTR, BSTR, VARIANT_BOOL, IHTMLWindow2**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_self(IHTMLWindow2**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_top(IHTMLWindow2**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_window(IHTMLWindow2**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE navigate(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onfocus(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onfocus(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onblur(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onblur(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onload(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onload(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onbeforeunload(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onbeforeunload(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onunload(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onunload(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onhelp(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onhelp(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onerror(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onerror(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onresize(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onresize(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onscroll(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onscroll(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_event(IHTMLEventObj**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE showModalDialog(BSTR, VARIANT*, VARIANT*, VARIANT*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE showHelp(BSTR, VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_screen(IHTMLScreen**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Option(IHTMLOptionElementFactory**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE focus() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_closed(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE blur() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE scroll(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_clientInformation(IOmNavigator**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE setInterval(BSTR, LONG, VARIANT*, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE clearInterval(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_offscreenBuffering(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_offscreenBuffering(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE execScript(BSTR, BSTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE toString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE scrollBy(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE scrollTo(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE moveTo(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE moveBy(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE resizeTo(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE resizeBy(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_external(IDispatch**) override { return E_NOTIMPL; }
};

class CStandInDocument : public IHTMLDocument2, public ICustomDoc {
public:
    CStandInDocument() { window.document = this; }
    CStandInDocument(const CStandInDocument&) = delete;
    CStandInDocument& operator=(const CStandInDocument&) = delete;

    CStandInWindow window;              // its parentWindow and frames
    CRecordingScript* script = nullptr; // none: a page without script
    std::wstring url;                   // the document's address
    std::vector<IDocHostUIHandler*> uiHandlers;
    LONG refs = 1;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLDocument ||
            iid == IID_IHTMLDocument2)
            *out = static_cast<IHTMLDocument2*>(this);
        else if (iid == __uuidof(ICustomDoc))
            *out = static_cast<ICustomDoc*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }

    // ICustomDoc
    HRESULT STDMETHODCALLTYPE SetUIHandler(IDocHostUIHandler* handler) override
    {
        uiHandlers.push_back(handler);
        return S_OK;
    }

    // IDispatch
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

    // IHTMLDocument
    HRESULT STDMETHODCALLTYPE get_Script(IDispatch** p) override
    {
        *p = script;
        if (script)
            script->AddRef();
        return S_OK;
    }

    // IHTMLDocument2: nothing else is asked of a page here.
    HRESULT STDMETHODCALLTYPE get_all(IHTMLElementCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_body(IHTMLElement**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_activeElement(IHTMLElement**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_images(IHTMLElementCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_applets(IHTMLElementCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_links(IHTMLElementCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_forms(IHTMLElementCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_anchors(IHTMLElementCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_title(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_title(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_scripts(IHTMLElementCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_designMode(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_designMode(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_selection(IHTMLSelectionObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_readyState(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2** p) override
    {
        *p = &window;
        window.AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_embeds(IHTMLElementCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_plugins(IHTMLElementCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_alinkColor(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_alinkColor(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_bgColor(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_bgColor(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_fgColor(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fgColor(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_linkColor(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_linkColor(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_vlinkColor(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_vlinkColor(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_referrer(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_location(IHTMLLocation**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_lastModified(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_URL(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_URL(BSTR* p) override
    {
        *p = SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_domain(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_domain(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_cookie(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_cookie(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_expando(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_expando(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_charset(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_charset(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_defaultCharset(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_defaultCharset(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_mimeType(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fileSize(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fileCreatedDate(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fileModifiedDate(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fileUpdatedDate(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_security(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_protocol(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_nameProp(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE write(SAFEARRAY*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE writeln(SAFEARRAY*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE open(BSTR, VARIANT, VARIANT, VARIANT, IDispatch**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE close() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE clear() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE queryCommandSupported(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE queryCommandEnabled(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE queryCommandState(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE queryCommandIndeterm(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE queryCommandText(BSTR, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE queryCommandValue(BSTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE execCommand(BSTR, VARIANT_BOOL, VARIANT, VARIANT_BOOL*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE execCommandShowHelp(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE createElement(BSTR, IHTMLElement**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onhelp(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onhelp(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onclick(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onclick(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ondblclick(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ondblclick(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onkeyup(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onkeyup(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onkeydown(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onkeydown(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onkeypress(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onkeypress(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onmouseup(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onmouseup(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onmousedown(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onmousedown(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onmousemove(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onmousemove(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onmouseout(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onmouseout(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onmouseover(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onmouseover(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onreadystatechange(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onreadystatechange(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onafterupdate(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onafterupdate(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onrowexit(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onrowexit(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onrowenter(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onrowenter(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ondragstart(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ondragstart(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onselectstart(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onselectstart(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE elementFromPoint(LONG, LONG, IHTMLElement**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_parentWindow(IHTMLWindow2** p) override
    {
        *p = &window;
        window.AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_styleSheets(IHTMLStyleSheetsCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onbeforeupdate(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onbeforeupdate(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onerrorupdate(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onerrorupdate(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE toString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE createStyleSheet(BSTR, LONG, IHTMLStyleSheet**) override { return E_NOTIMPL; }
};
