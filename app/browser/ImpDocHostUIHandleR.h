// The UI handler of the main window's content page: as CImpDocHostUIHandle,
// but the page's window.external is the catalogue script object.
#pragma once

#include "app/browser/ImpDocHostUIHandle.h"

class CImpDocHostUIHandleR : public CImpDocHostUIHandle {
public:
    static CImpDocHostUIHandleR& Shared();

protected:
    IDispatch* PageExternal() override;
};
