// The updater's run from start to end.
#pragma once

// Takes the command line after the program's name; always returns 0.
int UpdaterMain(const wchar_t* commandLine);
