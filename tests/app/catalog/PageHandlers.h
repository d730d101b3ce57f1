// The catalogue handlers as a page of the given address calls them: Wine
// loads no page, so the content page's address is given here.
#pragma once

#include "app/catalog/CatalogScriptHandlers.h"

class CPageHandlers : public CCatalogScriptHandlers {
public:
    explicit CPageHandlers(const CString& address) : m_address(address) {}
    bool IsProgramPageCall(IServiceProvider*) override { return IsProgramPage(m_address); }

private:
    CString m_address;
};
