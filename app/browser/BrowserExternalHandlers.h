// What the content page's script object runs: the catalogue, listing and
// installation handlers, called with the page's arguments in script order.
// The main window gives the object its implementation of these.
#pragma once

#include <windows.h>

#include <servprov.h>

#include "base/RefString.h"

class CBrowserExternalHandlers {
public:
    // The catalogue, listing and installation handlers come with those
    // features; until then each does nothing and answers the method's
    // property default (0, empty text, 1).
    virtual int StartDownLoadTask(int /*id*/, int /*kind*/) { return 0; }
    virtual CString GetDownloadPageCount(int /*pageSize*/, int /*filter*/, int /*kind*/) { return CString(); }
    virtual CString LoadDownloadPage(int /*page*/, int /*filter*/, int /*kind*/) { return CString(); }
    virtual BOOL DeleteTask(int /*id*/, int /*state*/, int /*kind*/) { return TRUE; }
    virtual void RunItem(int /*id*/, int /*kind*/) {}
    virtual BOOL PauseTask(int /*id*/) { return TRUE; }
    virtual BOOL AddItemAndDownload(HWND /*owner*/, int /*id*/, int /*listKind*/, int /*questionKind*/)
    {
        return TRUE;
    }
    virtual CString GetLocalItemStates(const CString& /*ids*/, int /*kind*/) { return CString(); }
    virtual void OpenContentPage(HWND /*owner*/, const CString& /*id*/, const CString& /*section*/) {}
    virtual void ControlPageMove(HWND /*owner*/, int /*command*/, const CString& /*keyword*/) {}
    virtual CString GetRecommendedContent(int /*type*/) { return CString(); }

    // Whether the call comes from the program's own pages, in frames of its
    // own pages: caller is the browser engine's service provider of the
    // calling script where the engine gives one (InvokeEx), else null. A
    // call from any other page runs no handler and answers the method's
    // failure value.
    virtual bool IsProgramPageCall(IServiceProvider* /*caller*/) { return false; }

protected:
    ~CBrowserExternalHandlers() = default;
};
