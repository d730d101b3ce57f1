// One-shot download of a short text reply (version file, usage reports).
#pragma once

#include "base/RefString.h"

// GETs the URL and decodes the reply as UTF-8 into out, reading until the
// reply ends or size - 1 bytes are in; at most size - 1 bytes are kept. The
// HTTP status is not looked at: an error page comes back like any other
// text. False when the request or a read fails.
bool HttpGetText(const CString& url, CString& out, DWORD size);

// The same; whole tells whether the reply fitted, false when it went on
// past size - 1 bytes (out then holds only its start).
bool HttpGetText(const CString& url, CString& out, DWORD size, bool& whole);
