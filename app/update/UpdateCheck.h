// The update check: compares the versions on the content server with the
// program's own and hands over to the updater.
#pragma once

constexpr int kUpdateCheckSilent = 0;
constexpr int kUpdateCheckManual = 1;

// Runs on a thread of its own; mode silent or manual. The result is not used.
unsigned CheckForUpdate(int mode);
