// The environment that the test build's Ravonyx.exe reads at its start (see
// StartupTrace.cpp), and the lines it writes.
#pragma once

// A file to which each start-up step adds one line when it ends: the
// QueryPerformanceCounter value in decimal, a blank, the step's name.
// The first line, "entry", is written once Windows has loaded the program
// and the DLLs it imports, before the program's own static construction.
constexpr wchar_t kStartupTraceVariable[] = L"RAVONYX_STARTUP_TRACE";
