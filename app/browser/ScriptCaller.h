// Who calls the script object: whether a call comes from the program's own
// pages, in frames of its own pages only. Where the browser engine names
// the caller (the service provider it gives IDispatchEx::InvokeEx), the
// calling document and every document above it must be the program's;
// where it does not, no document of the page, at any depth of frames, may
// be another's, since any of them could be the caller.
#pragma once

#include <windows.h>

#include <mshtml.h>
#include <servprov.h>

#include <functional>

#include "base/ComPtr.h"
#include "base/RefString.h"

using PageAddressCheck = std::function<bool(const CString& address)>;

// top: the browser's top document (none: refused); caller: the engine's
// service provider of the calling script, or null.
bool IsProgramPageCall(IHTMLDocument2* top, IServiceProvider* caller, const PageAddressCheck& isProgramPage);

// The document whose script calls, as the engine's service provider names
// it; none when it does not.
CComPtr<IHTMLDocument2> CallingDocument(IServiceProvider* caller);
