/* A program for the test of the normal-end mark (support/ExitMarkWriter.c):
 * its argument picks how it ends: "return", "exit", "exitprocess", "crash",
 * "overflow" or "abort". Every one of them ends with exit code 0 where the
 * way allows it. */
#include <windows.h>

#include <stdlib.h>
#include <string.h>

static volatile int g_depthLimit = 1 << 30;

static int Recurse(int depth)
{
    volatile char frame[4096];
    if (depth >= g_depthLimit)
        return 0;
    frame[0] = (char)depth;
    return Recurse(depth + 1) + frame[0];
}

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "return";
    if (strcmp(mode, "exit") == 0)
        exit(0);
    if (strcmp(mode, "exitprocess") == 0)
        ExitProcess(0);
    if (strcmp(mode, "crash") == 0)
        *(volatile int*)0 = 1;
    if (strcmp(mode, "overflow") == 0)
        return Recurse(0) == 42;
    if (strcmp(mode, "abort") == 0)
        abort();
    return 0;
}
