#include "app/catalog/CatalogScriptHandlers.h"

#include "app/catalog/CatalogDownloads.h"
#include "app/catalog/DeleteTask.h"
#include "app/install/PackageInstall.h"

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
