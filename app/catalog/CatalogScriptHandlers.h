// The content page's catalogue, download and installation handlers: what the
// main window gives the page's script object. The listing handlers come with
// that feature and answer "nothing done" until then.
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
};
