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

bool IsKnown(DISPID id) noexcept
{
    for (const ScriptName& entry : kNames) {
        if (entry.id == id)
            return true;
    }
    return false;
}

// What a property read of the method gives, and what a call starts from.
void SetPropertyDefault(DISPID id, VARIANT* result) noexcept
{
    switch (id) {
    case CBrowserExternal::DISPID_StartDownLoad:
        VariantInit(result);
        result->vt = VT_INT;
        result->intVal = 0;
        break;
    case CBrowserExternal::DISPID_GetPageCount:
    case CBrowserExternal::DISPID_LoadDLFile:
    case CBrowserExternal::DISPID_GetLocalGameIDs:
    case CBrowserExternal::DISPID_RefContent:
        VariantInit(result);
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(L"");
        break;
    case CBrowserExternal::DISPID_DelTask:
    case CBrowserExternal::DISPID_RunGame:
    case CBrowserExternal::DISPID_PauseTask:
    case CBrowserExternal::DISPID_DLGameInfo:
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = 1;
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

HRESULT CBrowserExternal::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO*, UINT*)
{
    if (!IsKnown(id))
        return S_OK;
    if ((flags & DISPATCH_PROPERTYGET) && result)
        SetPropertyDefault(id, result);
    if (flags & DISPATCH_METHOD)
        RunHandler(id, CScriptArguments(params), result);
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
