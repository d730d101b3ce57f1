// The content page's catalogue, download, listing, page and installation
// handlers: what the main window gives the page's script object.
#pragma once

#include "app/browser/BrowserExternalHandlers.h"

class CCatalogScriptHandlers : public CBrowserExternalHandlers {
public:
    // The program's object.
    static CCatalogScriptHandlers& Instance();

    int StartDownLoadTask(int id, int kind) override;
    BOOL DeleteTask(int id, int state, int kind) override;
    BOOL PauseTask(int id) override;
    BOOL AddItemAndDownload(HWND owner, int id, int listKind, int questionKind) override;
    void RunItem(int id, int kind) override;
    CString GetDownloadPageCount(int pageSize, int filter, int kind) override;
    CString LoadDownloadPage(int page, int filter, int kind) override;
    CString GetLocalItemStates(const CString& ids, int kind) override;
    void OpenContentPage(HWND owner, const CString& id, const CString& section) override;
    void ControlPageMove(HWND owner, int command, const CString& keyword) override;
    CString GetRecommendedContent(int type) override;

    // The content page's document and its frames, or the calling document
    // and those above it, by the page check below.
    bool IsProgramPageCall(IServiceProvider* caller) override;
    // The program's pages are those of its web and content sites and the
    // files under "Local\" in its folder.
    bool IsProgramPage(const CString& address);
};
