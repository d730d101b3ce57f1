// Web dialogs: pop-ups and dialogs that show a web page.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// The feedback dialog: a page and the page shown when it fails.
class CWebDlgForFeedback {
public:
    CWebDlgForFeedback(const CString& url, const CString& errorPage, UINT layoutId);
    // Runs the dialog modally; its end code is not used.
    int DoModal();

private:
    CString m_url;
    CString m_errorPage;
    UINT m_layoutId;
};
