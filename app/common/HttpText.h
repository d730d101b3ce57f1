// One-shot download of a short text reply (version file, usage reports).
#pragma once

#include "base/RefString.h"

// GETs the URL and decodes the whole reply as UTF-8 into out. The HTTP
// status is not looked at: an error page comes back like any other text.
// False, out unchanged, when the request or a read fails and when the reply
// is not whole: longer than size - 1 bytes, shorter than the length its
// server announced, or holding a NUL byte. No caller ever sees part of a
// reply as if it were all of it.
bool HttpGetText(const CString& url, CString& out, DWORD size);
