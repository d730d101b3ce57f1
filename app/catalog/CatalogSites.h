// The addresses the catalogue handlers talk to. They come from the build
// (app/common/ServerAddresses.h); the tests point them at their own server.
#pragma once

#include "base/RefString.h"

struct CatalogSites {
    CString webSite;      // without a trailing "/"
    CString contentSite;  // ends with "/"
    CString downloadBase; // ends with "/"
};

const CatalogSites& GetCatalogSites();
// Not thread-safe: set before any handler runs.
void SetCatalogSites(const CatalogSites& sites);
