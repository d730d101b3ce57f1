#include "app/catalog/CatalogScriptHandlers.h"

CCatalogScriptHandlers& CCatalogScriptHandlers::Instance()
{
    static CCatalogScriptHandlers handlers;
    return handlers;
}
