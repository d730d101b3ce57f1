// The environment that the test build's Uplark.exe reads at its start (see
// StepHook.cpp): a test ends a run just before any one of its changes to
// the file system, as a kill at that moment would.
#pragma once

// N (from 1): the process ends (TerminateProcess) just before its N-th change
// (or start of another program).
constexpr wchar_t kUplarkStopAtVariable[] = L"RAVONYX_UPLARK_STOP_AT";
// A file to which each change adds one line (UTF-8) before it is made: the
// function's name, a blank and the first path it is given.
constexpr wchar_t kUplarkStepLogVariable[] = L"RAVONYX_UPLARK_STEP_LOG";
// A name N: each wait of the updater before it looks at a file again sets the
// event "N.waiting" and then waits on the event "N.look" (auto-reset, made
// by the test) for at most its usual time, so that a test knows when the
// updater waits and tells it to look again instead of sleeping beside it.
constexpr wchar_t kUplarkWaitEventsVariable[] = L"RAVONYX_UPLARK_WAIT_EVENTS";
// N: each time-out the updater gives the Internet library is at most N ms,
// so that a test of a stalled server need not sit out the shipping ones.
constexpr wchar_t kUplarkNetworkTimeoutVariable[] = L"RAVONYX_UPLARK_NETWORK_TIMEOUT_MS";
// The exit code of a run ended so.
constexpr unsigned kUplarkStoppedExitCode = 86;
