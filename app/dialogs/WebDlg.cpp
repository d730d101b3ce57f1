#include "app/dialogs/WebDlg.h"

CWebDlgForFeedback::CWebDlgForFeedback(const CString& url, const CString& errorPage, UINT layoutId)
    : m_url(url), m_errorPage(errorPage), m_layoutId(layoutId)
{
}

int CWebDlgForFeedback::DoModal()
{
    // Web dialogs come with the browser host; until then the feedback page is not shown.
    return 0;
}
