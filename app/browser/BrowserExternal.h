// window.external of the main window's content page: the catalogue and
// download methods. One object lives for the whole run; its reference count
// only counts.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "app/browser/BrowserExternalHandlers.h"
#include "app/browser/ProgramDispatch.h"

class CScriptArguments;

class CBrowserExternal : public CProgramDispatch {
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

private:
    void RunHandler(DISPID id, const CScriptArguments& args, VARIANT* result);
    CBrowserExternalHandlers& Handlers() noexcept;

    HWND m_ownerWindow = nullptr;
    CBrowserExternalHandlers* m_handlers = nullptr;
};
