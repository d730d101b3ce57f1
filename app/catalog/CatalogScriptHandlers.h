// The content page's catalogue and download handlers: what the main window
// gives the page's script object.
#pragma once

#include "app/browser/BrowserExternalHandlers.h"

class CCatalogScriptHandlers : public CBrowserExternalHandlers {
public:
    // The program's object.
    static CCatalogScriptHandlers& Instance();
};
