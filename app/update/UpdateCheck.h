// The update check: compares the versions in the content server's version
// file with the program's own and the updater's, brings the updater
// "Uplark.exe" up to date by itself, and hands the main update over to it.
#pragma once

#include "base/RefString.h"

constexpr int kUpdateCheckSilent = 0;
constexpr int kUpdateCheckManual = 1;

// The servers a check talks to; both addresses end with "/".
struct UpdateServers {
    CString contentSite;  // holds the version file
    CString downloadSite; // holds "update/Uplark.zip"
};

// The servers this build was made for.
UpdateServers DefaultUpdateServers();

// Runs on a thread of its own; mode silent or manual. The result is not used.
unsigned CheckForUpdate(int mode);
unsigned CheckForUpdate(int mode, const UpdateServers& servers);
