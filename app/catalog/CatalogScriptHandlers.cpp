#include "app/catalog/CatalogScriptHandlers.h"

#include "app/browser/ProgramPages.h"
#include "app/browser/ScriptCaller.h"
#include "app/browser/UiHtmlContainerWindow.h"
#include "app/catalog/CatalogDownloads.h"
#include "app/catalog/CatalogSites.h"
#include "app/catalog/ContentNavigation.h"
#include "app/catalog/ContentPage.h"
#include "app/catalog/DeleteTask.h"
#include "app/catalog/DownloadListing.h"
#include "app/install/PackageInstall.h"
#include "app/startup/CorvaneModule.h"

CCatalogScriptHandlers& CCatalogScriptHandlers::Instance()
{
    static CCatalogScriptHandlers handlers;
    return handlers;
}

int CCatalogScriptHandlers::StartDownLoadTask(int id, int kind)
{
    return ::StartDownLoadTask(id, kind);
}

BOOL CCatalogScriptHandlers::DeleteTask(int id, int state, int kind)
{
    return ::DeleteTask(id, state, kind);
}

BOOL CCatalogScriptHandlers::PauseTask(int id)
{
    return ::PauseTask(id);
}

BOOL CCatalogScriptHandlers::AddItemAndDownload(HWND owner, int id, int listKind, int questionKind)
{
    return ::AddItemAndDownload(owner, id, listKind, questionKind);
}

void CCatalogScriptHandlers::RunItem(int id, int kind)
{
    ::RunItem(id, kind);
}

CString CCatalogScriptHandlers::GetDownloadPageCount(int pageSize, int filter, int kind)
{
    return ::GetDownloadPageCount(pageSize, filter, kind);
}

CString CCatalogScriptHandlers::LoadDownloadPage(int page, int filter, int kind)
{
    return ::LoadDownloadPage(page, filter, kind);
}

CString CCatalogScriptHandlers::GetLocalItemStates(const CString& ids, int kind)
{
    return ::GetLocalItemStates(ids, kind);
}

void CCatalogScriptHandlers::OpenContentPage(HWND owner, const CString& id, const CString& section)
{
    ::OpenContentPage(owner, id, section);
}

void CCatalogScriptHandlers::ControlPageMove(HWND owner, int command, const CString& keyword)
{
    ::ControlPageMove(owner, command, keyword);
}

CString CCatalogScriptHandlers::GetRecommendedContent(int type)
{
    return ::GetRecommendedContent(type);
}

bool CCatalogScriptHandlers::IsProgramPageCall(IServiceProvider* caller)
{
    CUiHtmlContainerWindow* content = ContentBrowser();
    if (!content)
        return false;
    CComPtr<IHTMLDocument2> top;
    if (CComPtr<IDispatch> document = content->GetDocument())
        document.QueryInterface(&top);
    return ::IsProgramPageCall(top, caller,
                               [this](const CString& address) { return IsProgramPage(address); });
}

bool CCatalogScriptHandlers::IsProgramPage(const CString& address)
{
    const CatalogSites& sites = GetCatalogSites();
    // The download host serves packages only, never pages of the program.
    return IsProgramPageAddress(address, {sites.webSite, sites.contentSite},
                                _Module.m_strAppDir + L"Local\\");
}
