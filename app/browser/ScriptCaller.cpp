#include "app/browser/ScriptCaller.h"

namespace {

// The script site's container: the document that holds the calling script.
const GUID kContainerDispatchService = {
    0xb722be00, 0x4e68, 0x101b, {0xa2, 0xbc, 0x00, 0xaa, 0x00, 0x40, 0x47, 0x70}};

// Frames deeper than this, or more of them than this, are not looked
// through: such a page is refused.
constexpr int kMaxFrameDepth = 16;
constexpr int kMaxFrames = 256;

bool IsProgramDocument(IHTMLDocument2* document, const PageAddressCheck& isProgramPage)
{
    CComBSTR url;
    if (!document || FAILED(document->get_URL(&url)) || !static_cast<BSTR>(url))
        return false;
    return isProgramPage(CString(url, static_cast<int>(url.Length())));
}

bool SameObject(IUnknown* a, IUnknown* b)
{
    CComPtr<IUnknown> first;
    CComPtr<IUnknown> second;
    if (!a || !b || FAILED(a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&first))) ||
        FAILED(b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&second))))
        return false;
    return first.Get() == second.Get();
}

// The calling document and each one above it up to the top: all the
// program's. A parent of another origin cannot be read: refused.
bool CallerChainIsProgramPages(IHTMLDocument2* calling, const PageAddressCheck& isProgramPage)
{
    CComPtr<IHTMLDocument2> document(calling);
    for (int depth = 0; depth < kMaxFrameDepth; ++depth) {
        if (!IsProgramDocument(document, isProgramPage))
            return false;
        CComPtr<IHTMLWindow2> window;
        CComPtr<IHTMLWindow2> parent;
        if (FAILED(document->get_parentWindow(&window)) || !window || FAILED(window->get_parent(&parent)) ||
            !parent)
            return false;
        if (SameObject(window, parent))
            return true; // the top window is its own parent
        CComPtr<IHTMLDocument2> above;
        if (FAILED(parent->get_document(&above)) || !above)
            return false;
        document = above;
    }
    return false;
}

// Every frame below the document, at any depth, holds a page of the
// program's; a frame whose document cannot be read is another origin's.
bool FramesAreProgramPages(IHTMLDocument2* document, const PageAddressCheck& isProgramPage, int depth,
                           int& framesLeft)
{
    CComPtr<IHTMLFramesCollection2> frames;
    LONG count = 0;
    if (FAILED(document->get_frames(&frames)) || !frames || FAILED(frames->get_length(&count)) || count < 0)
        return false;
    if (count == 0)
        return true;
    if (depth >= kMaxFrameDepth || count > framesLeft)
        return false;
    framesLeft -= count;
    for (LONG i = 0; i < count; ++i) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        VARIANT item;
        VariantInit(&item);
        const HRESULT got = frames->item(&index, &item);
        CComPtr<IHTMLWindow2> frame;
        if (SUCCEEDED(got) && item.vt == VT_DISPATCH && item.pdispVal)
            item.pdispVal->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void**>(&frame));
        VariantClear(&item);
        CComPtr<IHTMLDocument2> inner;
        if (!frame || FAILED(frame->get_document(&inner)) || !inner ||
            !IsProgramDocument(inner, isProgramPage) ||
            !FramesAreProgramPages(inner, isProgramPage, depth + 1, framesLeft))
            return false;
    }
    return true;
}

} // namespace

CComPtr<IHTMLDocument2> CallingDocument(IServiceProvider* caller)
{
    CComPtr<IHTMLDocument2> document;
    if (!caller)
        return document;
    if (SUCCEEDED(caller->QueryService(kContainerDispatchService, IID_IHTMLDocument2,
                                       reinterpret_cast<void**>(&document))) &&
        document)
        return document;
    document.Release();
    CComPtr<IDispatch> container;
    if (SUCCEEDED(caller->QueryService(kContainerDispatchService, IID_IDispatch,
                                       reinterpret_cast<void**>(&container))) &&
        container)
        container.QueryInterface(&document);
    return document;
}

bool IsProgramPageCall(IHTMLDocument2* top, IServiceProvider* caller, const PageAddressCheck& isProgramPage)
{
    if (!top || !IsProgramDocument(top, isProgramPage))
        return false;
    if (CComPtr<IHTMLDocument2> calling = CallingDocument(caller))
        return CallerChainIsProgramPages(calling, isProgramPage);
    int framesLeft = kMaxFrames;
    return FramesAreProgramPages(top, isProgramPage, 0, framesLeft);
}
