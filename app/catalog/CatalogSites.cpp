#include "app/catalog/CatalogSites.h"

#include "app/common/ServerAddresses.h"

namespace {

CatalogSites& Sites()
{
    static CatalogSites sites{RAVONYX_WEB_SITE, RAVONYX_CONTENT_SITE, RAVONYX_DOWNLOAD_SITE};
    return sites;
}

} // namespace

const CatalogSites& GetCatalogSites()
{
    return Sites();
}

void SetCatalogSites(const CatalogSites& sites)
{
    Sites() = sites;
}
