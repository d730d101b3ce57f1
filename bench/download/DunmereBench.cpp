// Benchmark driver.
//   dunmere_bench.exe URL FOLDER
//     one DownLoadForSingle call through the real Dunmere.dll; prints
//     "ok <milliseconds>" or "failed <milliseconds>", exit code 0 or 1.
//   dunmere_bench.exe --merge FILE
//     cuts FILE into the three part files a download leaves before its
//     merge, then merges them back as the download does; prints
//     "merged <milliseconds>" (the merge alone) or "failed", exit code 0 or 1.

#include "download/Dunmere.h"
#include "download/PartFile.h"

#include "base/Handle.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr int kParts = 3;

double MillisecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

int Download(const wchar_t* url, const wchar_t* folder)
{
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    const bool ok = DownLoadForSingle(url, folder);
    printf("%s %.1f\n", ok ? "ok" : "failed", MillisecondsSince(start));
    return ok ? 0 : 1;
}

// Writes [part.start, part.end) of the file to the part file the way a
// download writes it: opened with OPEN_ALWAYS and written in 64 KiB blocks.
// (A file created with CREATE_ALWAYS is flushed to disk when it is closed
// under Wine on ext4, which would make its later deletion dearer than a
// download's part file's.)
bool CutPart(FILE* file, const PartRange& part)
{
    CFileHandle out(CreateFileW(part.partFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out)
        return false;
    static char block[64 * 1024];
    bool ok = fseek(file, static_cast<long>(part.start), SEEK_SET) == 0;
    for (uint32_t left = part.Length(); ok && left > 0;) {
        const size_t want = left < sizeof(block) ? left : sizeof(block);
        const size_t got = fread(block, 1, want, file);
        DWORD written = 0;
        ok = got > 0 && WriteFile(out, block, static_cast<DWORD>(got), &written, nullptr) && written == got;
        left -= static_cast<uint32_t>(got);
    }
    return CloseHandle(out.Detach()) && ok;
}

int Merge(const wchar_t* target)
{
    FILE* file = _wfopen(target, L"rb");
    if (!file || fseek(file, 0, SEEK_END) != 0) {
        printf("failed\n");
        return 1;
    }
    const uint32_t length = static_cast<uint32_t>(ftell(file));
    const std::vector<PartRange> parts = SplitIntoParts(target, length, kParts);
    bool ok = true;
    for (const PartRange& part : parts)
        ok = ok && CutPart(file, part);
    fclose(file);
    if (!ok || !DeleteFileW(target)) {
        printf("failed\n");
        return 1;
    }
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    ok = MergeParts(target, parts);
    const double ms = MillisecondsSince(start);
    if (ok)
        printf("merged %.1f\n", ms);
    else
        printf("failed\n");
    return ok ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int result = 2;
    if (argc == 3 && wcscmp(argv[1], L"--merge") == 0)
        result = Merge(argv[2]);
    else if (argc == 3)
        result = Download(argv[1], argv[2]);
    else
        fprintf(stderr, "usage: dunmere_bench URL FOLDER | dunmere_bench --merge FILE\n");
    fflush(stdout);
    return result;
}
