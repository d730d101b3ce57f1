// window.external of the main window's content page: the catalogue and
// download methods. One object lives for the whole run; its reference count
// only counts. It is an IDispatchEx, so that the browser engine calls it
// through InvokeEx and says which document's script calls.
#pragma once

#include <windows.h>

#include <dispex.h>
#include <oaidl.h>

#include "app/browser/BrowserExternalHandlers.h"
#include "app/browser/ProgramDispatch.h"

class CScriptArguments;

class CBrowserExternal : public CProgramDispatch<IDispatchEx> {
public:
    enum : DISPID {
        DISPID_StartDownLoad = 2,
        DISPID_GetPageCount = 3,
        DISPID_LoadDLFile = 4,
        DISPID_DelTask = 5,
        DISPID_RunGame = 6,
        DISPID_PauseTask = 7,
        DISPID_DLGameInfo = 8,
        DISPID_GetLocalGameIDs = 9,
        DISPID_OpenContentPage = 11,
        DISPID_ControlPageMove = 12,
        DISPID_RefContent = 13,
    };

    CBrowserExternal() = default;
    CBrowserExternal(const CBrowserExternal&) = delete;
    CBrowserExternal& operator=(const CBrowserExternal&) = delete;
    virtual ~CBrowserExternal() = default;

    // The program's object.
    static CBrowserExternal& Instance();

    // The main window: its handle goes first to the handlers that take the
    // owner window; handlers null runs the handlers that do nothing yet.
    void SetOwner(HWND ownerWindow, CBrowserExternalHandlers* handlers) noexcept;
    HWND OwnerWindow() const noexcept { return m_ownerWindow; }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

    // IDispatchEx: names as GetIDsOfNames, always compared exactly; calls as
    // Invoke, with the engine's word on who calls.
    HRESULT STDMETHODCALLTYPE GetDispID(BSTR name, DWORD flags, DISPID* id) override;
    HRESULT STDMETHODCALLTYPE InvokeEx(DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                       EXCEPINFO* exception, IServiceProvider* caller) override;
    HRESULT STDMETHODCALLTYPE DeleteMemberByName(BSTR, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE DeleteMemberByDispID(DISPID) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetMemberProperties(DISPID, DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMemberName(DISPID, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNextDispID(DWORD, DISPID, DISPID*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetNameSpaceParent(IUnknown** parent) override
    {
        if (parent)
            *parent = nullptr;
        return E_NOTIMPL;
    }

private:
    HRESULT Call(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argError,
                 IServiceProvider* caller);
    void RunHandler(DISPID id, const CScriptArguments& args, VARIANT* result);
    CBrowserExternalHandlers& Handlers() noexcept;

    HWND m_ownerWindow = nullptr;
    CBrowserExternalHandlers* m_handlers = nullptr;
};
