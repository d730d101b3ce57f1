// Fetching, checking and unpacking the update package.
#pragma once

#include "updater/UpdateJob.h"

// Up to 10 tries, one after the other: download the package into the work
// folder; when its MD5 equals the expected digest exactly, unpack it into an
// emptied "TessalyUpdate\" folder. True once a try has unpacked the package;
// the package is deleted after a wrong digest or a failed unpacking.
bool DownloadAndVerify(const CUpdateJob& job);
