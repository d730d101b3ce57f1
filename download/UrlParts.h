// How the library reads a download URL: server, port, the folder part that
// goes into the Referer line, and the file name the target takes.
#pragma once

#include "base/RefString.h"

struct UrlParts {
    CString host;       // name or address to connect to
    CString hostHeader; // the value of the Host line: host, or host:port as written in the URL
    int port = 80;      // 0 when the URL names a port that cannot be used
    CString dir;        // the URL up to and including its last '/'
    CString file;       // the URL after its last '/'
};

// Trims the URL, then splits it. The host is what follows the first
// "http://" up to the next '/'; ":port" after it picks the port.
UrlParts SplitUrl(const CString& url);

// The URL text after its last '/' (the whole URL when it has none).
CString UrlFileName(const CString& url);

// The file name without its last extension: ".../12345.zip" gives "12345";
// a name without '.' gives an empty title.
CString FileTitleOf(const CString& url);

// A file name that stays inside the target folder: not empty, not "." or
// "..", and without '\\' or ':'.
bool IsPlainFileName(const CString& name);
