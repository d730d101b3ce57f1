// Benchmark driver: one DownLoadForSingle call through the real Dunmere.dll.
//   dunmere_bench.exe URL FOLDER
// Prints "ok <milliseconds>" or "failed <milliseconds>"; exit code 0 or 1.

#include "download/Dunmere.h"

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: dunmere_bench URL FOLDER\n");
        return 2;
    }
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const bool ok = DownLoadForSingle(argv[1], argv[2]);
    QueryPerformanceCounter(&end);
    const double ms = static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    printf("%s %.1f\n", ok ? "ok" : "failed", ms);
    fflush(stdout);
    return ok ? 0 : 1;
}
