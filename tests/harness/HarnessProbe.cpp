// A test program for the test runner's own test: RAVONYX_PROBE picks how
// the case Probe.EndsTheProgram ends the program in the middle of the run
// (exit, crash, overflow, abort, fail, hang); without it every case passes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string ProbeMode()
{
    char mode[32] = {};
    GetEnvironmentVariableA("RAVONYX_PROBE", mode, sizeof(mode));
    return mode;
}

// Deeper than any stack; the volatile buffer keeps every frame.
volatile int g_depthLimit = 1 << 30;

int Recurse(int depth)
{
    if (depth >= g_depthLimit)
        return 0;
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    return Recurse(depth + 1) + frame[0];
}

} // namespace

TEST(Probe, RunsFirst)
{
    EXPECT_EQ(1 + 1, 2);
}

TEST(Probe, EndsTheProgram)
{
    const std::string mode = ProbeMode();
    if (mode == "exit") {
        ExitProcess(0);
    } else if (mode == "crash") {
        *static_cast<volatile int*>(nullptr) = 1;
    } else if (mode == "overflow") {
        EXPECT_NE(Recurse(0), 0);
    } else if (mode == "abort") {
        std::abort();
    } else if (mode == "fail") {
        ADD_FAILURE() << "the probe fails on request";
    } else if (mode == "hang") {
        // A test that never ends, as one waiting on what never comes.
        Sleep(INFINITE);
    }
}

TEST(Probe, RunsLast)
{
    EXPECT_EQ(2 + 2, 4);
}
