// Start-up benchmark driver: the time from starting a program to the first
// paint of its main window, for Ravonyx.exe and for a bare one-window
// program, taken alternately in the same run; prints every run, the medians,
// their ratio, and where Ravonyx.exe's time goes.
//
//   startup_bench.exe RUNS PROGRAM TITLE FOLDER BASELINE BASELINE_TITLE
//
// The clock starts just before CreateProcessW. The window counts as painted
// once it is visible with the given title and neither it nor any window
// inside it has an update region left: its WM_PAINT (and its children's) ran.
// The DLLs in the process are listed then. The program is ended with
// TerminateProcess, as a crash would, and the next run starts once it is
// gone. One warm-up run of each comes first and is not counted.
//
// The breakdown comes from the start-up trace of the test build
// (tools/starttrace): each program writes a line as each of its start-up
// steps ends, the first ("entry") once Windows has loaded it with the DLLs
// it imports. The bare window writes only that first line.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tools/starttrace/StartupTrace.h"

namespace {

struct Search {
    DWORD processId;
    const wchar_t* title;
    HWND found;
};

// One start: the time to the first paint (negative on failure), the steps the
// program marked with their times from the start, and the DLLs it had then.
struct Run {
    double ms = -1;
    std::vector<std::pair<std::string, double>> steps;
    std::set<std::wstring> modules;
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

std::set<std::wstring> ModuleNames(HANDLE process)
{
    std::set<std::wstring> names;
    HMODULE modules[512];
    DWORD needed = 0;
    if (!EnumProcessModules(process, modules, sizeof(modules), &needed))
        return names;
    const DWORD count = std::min<DWORD>(needed / sizeof(HMODULE), 512);
    for (DWORD i = 1; i < count; ++i) { // the first is the program itself
        wchar_t name[MAX_PATH] = {};
        if (GetModuleBaseNameW(process, modules[i], name, MAX_PATH)) {
            CharLowerW(name);
            names.insert(name);
        }
    }
    return names;
}

double Milliseconds(LONGLONG ticks)
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

// The lines of a start-up trace as times from the start.
std::vector<std::pair<std::string, double>> ReadTrace(const std::wstring& path, LONGLONG start)
{
    std::vector<std::pair<std::string, double>> steps;
    std::ifstream file(path.c_str());
    std::string line;
    while (std::getline(file, line)) {
        const size_t blank = line.find(' ');
        if (blank == std::string::npos)
            continue;
        const long long ticks = std::strtoll(line.c_str(), nullptr, 10);
        steps.emplace_back(line.substr(blank + 1), Milliseconds(ticks - start));
    }
    return steps;
}

Run TimeFirstPaint(const std::wstring& program, const wchar_t* title, const wchar_t* folder)
{
    Run run;
    wchar_t tempFolder[MAX_PATH];
    wchar_t tracePath[MAX_PATH];
    GetTempPathW(MAX_PATH, tempFolder);
    GetTempFileNameW(tempFolder, L"stt", 0, tracePath);
    SetEnvironmentVariableW(kStartupTraceVariable, tracePath);

    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder,
                        &startup, &process)) {
        fwprintf(stderr, L"cannot start %ls: error %lu\n", program.c_str(), GetLastError());
        DeleteFileW(tracePath);
        return run;
    }
    for (;;) {
        Search search = {process.dwProcessId, title, nullptr};
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        const double elapsed = Milliseconds(now.QuadPart - start.QuadPart);
        if (search.found && Painted(search.found)) {
            run.ms = elapsed;
            run.modules = ModuleNames(process.hProcess);
            break;
        }
        if (elapsed > 60000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            fwprintf(stderr, L"%ls: no painted window \"%ls\"\n", program.c_str(), title);
            break;
        }
        Sleep(1);
    }
    // What the program does after its first paint shows in the trace too,
    // for as long as it runs on here.
    Sleep(run.ms < 0 ? 0 : 300);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.steps = ReadTrace(tracePath, start.QuadPart);
    DeleteFileW(tracePath);
    return run;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double EntryTime(const Run& run)
{
    return !run.steps.empty() && run.steps[0].first == "entry" ? run.steps[0].second : 0;
}

// Each step's median share of the time to the first paint, in the order of
// the first run; the steps after the first paint by their median time from
// the start.
void PrintBreakdown(const std::vector<Run>& programRuns, const std::vector<Run>& baselineRuns)
{
    if (programRuns.empty() || programRuns[0].steps.empty()) {
        wprintf(L"no start-up trace: the program is not the test build\n");
        return;
    }
    std::vector<double> baselineEntry;
    for (const Run& run : baselineRuns)
        baselineEntry.push_back(EntryTime(run));
    wprintf(L"where Ravonyx.exe's time goes (median of each step's time, ms):\n");
    const auto& order = programRuns[0].steps;
    std::vector<std::string> after;
    for (size_t i = 0; i < order.size(); ++i) {
        std::vector<double> shares;
        std::vector<double> times;
        for (const Run& run : programRuns) {
            if (i >= run.steps.size() || run.steps[i].first != order[i].first)
                continue;
            times.push_back(run.steps[i].second);
            if (run.steps[i].second <= run.ms)
                shares.push_back(run.steps[i].second - (i ? run.steps[i - 1].second : 0));
        }
        if (shares.size() * 2 < times.size() || shares.empty()) {
            after.push_back(order[i].first);
            wprintf(L"  after the first paint, at %7.1f ms: %hs\n", Median(times), order[i].first.c_str());
            continue;
        }
        if (i == 0)
            wprintf(L"  %7.1f  process start, DLLs loaded (bare window %.1f)\n", Median(shares),
                    Median(baselineEntry));
        else
            wprintf(L"  %7.1f  %hs\n", Median(shares), order[i].first.c_str());
    }
    std::vector<double> rest;
    for (const Run& run : programRuns) {
        double last = 0;
        for (const auto& step : run.steps)
            if (step.second <= run.ms)
                last = step.second;
        rest.push_back(run.ms - last);
    }
    wprintf(L"  %7.1f  show, first layout and paint, seen by this driver\n", Median(rest));

    const Run& last = programRuns.back();
    const Run& bare = baselineRuns.back();
    std::wstring extra;
    for (const std::wstring& name : last.modules)
        if (!bare.modules.count(name))
            extra += L" " + name;
    wprintf(L"DLLs at the first paint: Ravonyx.exe %u, bare window %u; only in Ravonyx.exe:%ls\n",
            static_cast<unsigned>(last.modules.size()), static_cast<unsigned>(bare.modules.size()),
            extra.c_str());
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
    if (TimeFirstPaint(program, title, folder).ms < 0 ||
        TimeFirstPaint(baseline, baselineTitle, nullptr).ms < 0)
        return 1;
    std::vector<Run> programRuns;
    std::vector<Run> baselineRuns;
    std::vector<double> programTimes;
    std::vector<double> baselineTimes;
    for (int i = 0; i < runs; ++i) {
        Run p = TimeFirstPaint(program, title, folder);
        Run b = TimeFirstPaint(baseline, baselineTitle, nullptr);
        if (p.ms < 0 || b.ms < 0)
            return 1;
        wprintf(L"run %d: Ravonyx.exe %8.1f ms   bare window %8.1f ms\n", i + 1, p.ms, b.ms);
        programTimes.push_back(p.ms);
        baselineTimes.push_back(b.ms);
        programRuns.push_back(std::move(p));
        baselineRuns.push_back(std::move(b));
    }
    const double p = Median(programTimes);
    const double b = Median(baselineTimes);
    PrintBreakdown(programRuns, baselineRuns);
    wprintf(L"median of %d: Ravonyx.exe %.1f ms, bare window %.1f ms, ratio %.2fx\n", runs, p, b, p / b);
    return 0;
}
