#include "app/startup/StartupSteps.h"

namespace {

// Zero before any constructor runs, so a recorder set during static
// construction is never overwritten.
StartupStepRecorder g_recorder = nullptr;

} // namespace

void SetStartupStepRecorder(StartupStepRecorder recorder) noexcept
{
    g_recorder = recorder;
}

void MarkStartupStep(const char* step) noexcept
{
    if (g_recorder)
        g_recorder(step);
}
