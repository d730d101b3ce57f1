// Marks between the steps of the program's start-up. Nothing records them
// unless a recorder is set; the test build's start-up trace
// (tools/starttrace) sets one, and the start-up benchmark reads what it
// wrote to show where the time to the first paint goes.
#pragma once

// step names the work that has just ended (plain ASCII).
using StartupStepRecorder = void (*)(const char* step);

void SetStartupStepRecorder(StartupStepRecorder recorder) noexcept;
void MarkStartupStep(const char* step) noexcept;
