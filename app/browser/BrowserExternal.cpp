#include "app/browser/BrowserExternal.h"

#include "app/browser/ScriptArguments.h"
#include "app/browser/ScriptNames.h"
#include "app/browser/ScriptResult.h"

namespace {

const ScriptName kNames[] = {
    {L"Ex_StartDownLoad", CBrowserExternal::DISPID_StartDownLoad},
    {L"Ex_GetPageCount", CBrowserExternal::DISPID_GetPageCount},
    {L"Ex_LoadDLFile", CBrowserExternal::DISPID_LoadDLFile},
    {L"Ex_DelTask", CBrowserExternal::DISPID_DelTask},
    {L"Ex_RunGame", CBrowserExternal::DISPID_RunGame},
    {L"Ex_PauseTask", CBrowserExternal::DISPID_PauseTask},
    {L"Ex_DLGameInfo", CBrowserExternal::DISPID_DLGameInfo},
    {L"Ex_GetLocalGameIDs", CBrowserExternal::DISPID_GetLocalGameIDs},
    {L"Ex_OpenContentPage", CBrowserExternal::DISPID_OpenContentPage},
    {L"Ex_ControlPageMove", CBrowserExternal::DISPID_ControlPageMove},
    {L"Ex_RefContent", CBrowserExternal::DISPID_RefContent},
};

// Each method's arguments, one letter each ('i' whole number, 's' text),
// and its result: its type (VT_EMPTY: none), and the text a refused call
// answers where the result is a text.
struct Method {
    DISPID id;
    const char* args;
    VARTYPE result;
    const wchar_t* refusedText;
};

const Method kMethods[] = {
    {CBrowserExternal::DISPID_StartDownLoad, "ii", VT_INT, nullptr},
    {CBrowserExternal::DISPID_GetPageCount, "iii", VT_BSTR, L"0|0"},
    {CBrowserExternal::DISPID_LoadDLFile, "iii", VT_BSTR, L""},
    {CBrowserExternal::DISPID_DelTask, "iii", VT_BOOL, nullptr},
    {CBrowserExternal::DISPID_RunGame, "ii", VT_BOOL, nullptr},
    {CBrowserExternal::DISPID_PauseTask, "i", VT_BOOL, nullptr},
    {CBrowserExternal::DISPID_DLGameInfo, "iii", VT_BOOL, nullptr},
    {CBrowserExternal::DISPID_GetLocalGameIDs, "si", VT_BSTR, L""},
    {CBrowserExternal::DISPID_OpenContentPage, "ss", VT_EMPTY, nullptr},
    {CBrowserExternal::DISPID_ControlPageMove, "is", VT_EMPTY, nullptr},
    {CBrowserExternal::DISPID_RefContent, "i", VT_BSTR, L""},
};

const Method* MethodOf(DISPID id) noexcept
{
    for (const Method& method : kMethods) {
        if (method.id == id)
            return &method;
    }
    return nullptr;
}

// What a property read of the method gives and what a call starts from
// (0, an empty text, 1), or what a refused call answers: no download
// queued (-1 is no scheduler code), nothing listed, nothing done.
void SetStartingResult(const Method& method, bool refused, VARIANT* result) noexcept
{
    switch (method.result) {
    case VT_INT:
        SetIntResult(result, refused ? -1 : 0);
        break;
    case VT_BSTR: {
        const wchar_t* text = refused ? method.refusedText : L"";
        SetTextResult(result, text, static_cast<int>(wcslen(text)));
        break;
    }
    case VT_BOOL:
        SetBoolResult(result, refused ? FALSE : TRUE);
        break;
    default:
        break;
    }
}

void SetText(VARIANT* result, const CString& text) noexcept
{
    SetTextResult(result, text.GetString(), text.GetLength());
}

class CPendingHandlers : public CBrowserExternalHandlers {};

} // namespace

CBrowserExternal& CBrowserExternal::Instance()
{
    static CBrowserExternal external;
    return external;
}

void CBrowserExternal::SetOwner(HWND ownerWindow, CBrowserExternalHandlers* handlers) noexcept
{
    m_ownerWindow = ownerWindow;
    m_handlers = handlers;
}

CBrowserExternalHandlers& CBrowserExternal::Handlers() noexcept
{
    static CPendingHandlers pending;
    return m_handlers ? *m_handlers : pending;
}

HRESULT CBrowserExternal::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    return LookUpScriptNames(kNames, names, count, ids);
}

HRESULT CBrowserExternal::GetDispID(BSTR name, DWORD, DISPID* id)
{
    if (!id)
        return E_POINTER;
    LPOLESTR names[] = {name ? name : const_cast<LPOLESTR>(L"")};
    return LookUpScriptNames(kNames, names, 1, id);
}

HRESULT CBrowserExternal::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO*, UINT* argError)
{
    return Call(id, flags, params, result, argError, nullptr);
}

HRESULT CBrowserExternal::InvokeEx(DISPID id, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, IServiceProvider* caller)
{
    return Call(id, flags, params, result, nullptr, caller);
}

HRESULT CBrowserExternal::Call(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argError,
                               IServiceProvider* caller)
{
    const Method* method = MethodOf(id);
    if (!method)
        return S_OK;
    // No method is a property that can be set.
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
        return DISP_E_MEMBERNOTFOUND;
    // The result is the caller's [out] VARIANT: whatever it holds is not ours.
    if (result)
        VariantInit(result);
    if (!(flags & DISPATCH_METHOD)) {
        if ((flags & DISPATCH_PROPERTYGET) && result)
            SetStartingResult(*method, false, result);
        return S_OK;
    }
    const CScriptArguments args(params);
    const HRESULT shape = args.Check(method->args, argError);
    if (FAILED(shape))
        return shape;
    // Only the program's own pages, in frames of its own, may use the
    // catalogue; asked at every call, as a page may have moved on.
    CBrowserExternalHandlers& handlers = Handlers();
    if (!handlers.IsProgramPageCall(caller)) {
        SetStartingResult(*method, true, result);
        return S_OK;
    }
    if ((flags & DISPATCH_PROPERTYGET) && result)
        SetStartingResult(*method, false, result);
    RunHandler(id, args, result);
    return S_OK;
}

void CBrowserExternal::RunHandler(DISPID id, const CScriptArguments& args, VARIANT* result)
{
    CBrowserExternalHandlers& handlers = Handlers();
    int a = 0;
    int b = 0;
    int c = 0;
    CString text;
    switch (id) {
    case DISPID_StartDownLoad:
        if (args.Int(1, a) && args.Int(2, b))
            SetIntResult(result, handlers.StartDownLoadTask(a, b));
        break;
    case DISPID_GetPageCount:
        if (args.Int(1, a) && args.Int(2, b) && args.Int(3, c))
            SetText(result, handlers.GetDownloadPageCount(a, b, c));
        break;
    case DISPID_LoadDLFile:
        if (args.Int(1, a) && args.Int(2, b) && args.Int(3, c))
            SetText(result, handlers.LoadDownloadPage(a, b, c));
        break;
    case DISPID_DelTask:
        if (args.Int(1, a) && args.Int(2, b) && args.Int(3, c))
            SetBoolResult(result, handlers.DeleteTask(a, b, c));
        break;
    case DISPID_RunGame:
        if (args.Int(1, a) && args.Int(2, b))
            handlers.RunItem(a, b);
        break;
    case DISPID_PauseTask:
        if (args.Int(1, a))
            SetBoolResult(result, handlers.PauseTask(a));
        break;
    case DISPID_DLGameInfo:
        if (args.Int(1, a) && args.Int(2, b) && args.Int(3, c))
            SetBoolResult(result, handlers.AddItemAndDownload(m_ownerWindow, a, b, c));
        break;
    case DISPID_GetLocalGameIDs:
        if (args.Text(1, text) && args.Int(2, b))
            SetText(result, handlers.GetLocalItemStates(text, b));
        break;
    case DISPID_OpenContentPage: {
        CString section;
        if (args.Text(1, text) && args.Text(2, section))
            handlers.OpenContentPage(m_ownerWindow, text, section);
        break;
    }
    case DISPID_ControlPageMove:
        if (args.Int(1, a) && args.Text(2, text))
            handlers.ControlPageMove(m_ownerWindow, a, text);
        break;
    case DISPID_RefContent:
        if (args.Int(1, a))
            SetText(result, handlers.GetRecommendedContent(a));
        break;
    default:
        break;
    }
}
