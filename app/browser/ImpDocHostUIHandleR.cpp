#include "app/browser/ImpDocHostUIHandleR.h"

#include "app/browser/BrowserExternal.h"

CImpDocHostUIHandleR& CImpDocHostUIHandleR::Shared()
{
    static CImpDocHostUIHandleR handler;
    return handler;
}

IDispatch* CImpDocHostUIHandleR::PageExternal()
{
    return &CBrowserExternal::Instance();
}
