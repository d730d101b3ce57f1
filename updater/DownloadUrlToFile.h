// Fetching the update package over HTTP.
#pragma once

#include "base/RefString.h"

// The time a connection, a send or a wait for data may take before the try
// is given up (ms).
constexpr unsigned long kNetworkTimeout = 30000;

// GETs the URL into the file (created anew). False when the request, a read
// or a write fails, or the file cannot be created. The HTTP status is not
// looked at: an error page is saved like the package and fails its digest.
bool DownloadUrlToFile(const CString& url, const CString& path);
