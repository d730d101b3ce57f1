// Start-up benchmark driver: the time from starting a program to the first
// paint of its main window, for Ravonyx.exe and for a bare one-window
// program, taken alternately in the same run; prints every run, the medians
// and their ratio.
//
//   startup_bench.exe RUNS PROGRAM TITLE FOLDER BASELINE BASELINE_TITLE
//
// The clock starts just before CreateProcessW. The window counts as painted
// once it is visible with the given title and neither it nor any window
// inside it has an update region left: its WM_PAINT (and its children's) ran.
// The program is then ended with TerminateProcess, as a crash would, and the
// next run starts once it is gone. One warm-up run of each comes first and
// is not counted.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD processId;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window))
        return TRUE;
    wchar_t title[128] = {};
    GetWindowTextW(window, title, 128);
    if (wcscmp(title, search->title) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK FindUnpainted(HWND window, LPARAM param)
{
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

bool Painted(HWND window)
{
    RECT rect = {};
    if (!GetWindowRect(window, &rect) || rect.right <= rect.left || GetUpdateRect(window, nullptr, FALSE))
        return false;
    bool unpainted = false;
    EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

// Milliseconds from start to first paint, or a negative value on failure.
double TimeFirstPaint(const std::wstring& program, const wchar_t* title, const wchar_t* folder)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder,
                        &startup, &process)) {
        fwprintf(stderr, L"cannot start %ls: error %lu\n", program.c_str(), GetLastError());
        return -1;
    }
    double result = -1;
    for (;;) {
        Search search = {process.dwProcessId, title, nullptr};
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        const double elapsed = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                               static_cast<double>(frequency.QuadPart);
        if (search.found && Painted(search.found)) {
            result = elapsed;
            break;
        }
        if (elapsed > 60000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            fwprintf(stderr, L"%ls: no painted window \"%ls\"\n", program.c_str(), title);
            break;
        }
        Sleep(1);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 7) {
        fwprintf(stderr, L"usage: startup_bench RUNS PROGRAM TITLE FOLDER BASELINE BASELINE_TITLE\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    const std::wstring program = argv[2];
    const wchar_t* title = argv[3];
    const wchar_t* folder = argv[4];
    const std::wstring baseline = argv[5];
    const wchar_t* baselineTitle = argv[6];

    // Warm-up: the first start reads the files from disk.
    if (TimeFirstPaint(program, title, folder) < 0 || TimeFirstPaint(baseline, baselineTitle, nullptr) < 0)
        return 1;
    std::vector<double> programTimes;
    std::vector<double> baselineTimes;
    for (int i = 0; i < runs; ++i) {
        const double p = TimeFirstPaint(program, title, folder);
        const double b = TimeFirstPaint(baseline, baselineTitle, nullptr);
        if (p < 0 || b < 0)
            return 1;
        programTimes.push_back(p);
        baselineTimes.push_back(b);
        wprintf(L"run %d: Ravonyx.exe %8.1f ms   bare window %8.1f ms\n", i + 1, p, b);
    }
    const double p = Median(programTimes);
    const double b = Median(baselineTimes);
    wprintf(L"median of %d: Ravonyx.exe %.1f ms, bare window %.1f ms, ratio %.2fx\n", runs, p, b, p / b);
    return 0;
}
