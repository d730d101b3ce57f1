// Which page addresses are the program's own: pages of its sites (same
// scheme, host and port as one of them) and files below its local pages'
// folder. Everything else (other sites, other files, about:, res:,
// javascript:) is a foreign page.
#pragma once

#include <initializer_list>

#include "base/RefString.h"

// sites: the sites' addresses ("http://host[:port]/..."); localFolder: the
// local pages' folder, a full path ending with "\".
bool IsProgramPageAddress(const CString& address, std::initializer_list<CString> sites,
                          const CString& localFolder);
