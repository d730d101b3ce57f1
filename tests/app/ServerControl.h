// The local test server that SERVER tests run beside (tools/testserver).
#pragma once

#include "base/RefString.h"

#include <string>

// "http://127.0.0.1:<port>", from RAVONYX_TEST_SERVER.
CString TestServerUrl();
// The folder the server serves, with a trailing backslash.
CString TestServerRoot();
// POSTs a JSON body to /_control/<what>; the reply's body, "" on failure.
std::string PostServerControl(const wchar_t* what, const std::string& json);
