// The local item lists as they grow: adding an entry, the finished
// message's status change and the start-up pass, on lists of 100, 1,000 and
// 10,000 entries. Each time is the median of several runs; the 100-entry
// list is the baseline the larger ones are compared with.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/catalog/CatalogDownloads.h"
#include "app/catalog/DownloadRelay.h"
#include "app/catalog/LocalLists.h"
#include "app/common/ConfigCodec.h"
#include "app/startup/CorvaneModule.h"
#include "bench/support/BenchSupport.h"

namespace {

// A theme list of n entries, ids 1..n (newest first), every one finished
// but the oldest, which is still downloading.
void WriteList(int n)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<list>\n";
    for (int id = n; id >= 1; --id) {
        const std::string text = std::to_string(id);
        xml += "    <item id=\"" + text + "\" name=\"\xe4\xb8\xbb\xe9\xa2\x98" + text +
               "\">\n        <jsons>{\"id\":\"" + text +
               "\",\"title\":\"\xe4\xb8\xbb\xe9\xa2\x98\",\"img\":\"$imageiniboot$Ravonyx/ico/" + text +
               ".png\",\"status\":" + (id == 1 ? "1" : "2") + ",\"progress\":\"0\"}</jsons>\n" +
               "        <file>Ravonyx\\download\\" + text + ".zip</file>\n    </item>\n";
    }
    WriteText(DataListPath(1), xml + "</list>\n");
    WriteText(DataListPath(2), "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<list />\n");
}

template <typename F> double Median(int runs, F&& run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        run(i);
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Row {
    int entries;
    double add;
    double finished;
    double startup;
};

LRESULT CALLBACK SinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int main()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const CString root = CString(temp) + L"ravonyx-catalog-bench\\";
    for (const wchar_t* folder : {L"", L"program\\", L"program\\Data\\", L"program\\Config\\"})
        CreateDirectoryW(root + folder, nullptr);
    _Module.m_strAppDir = root + L"program\\";
    _Module.m_strDownloadDir = root + L"down\\";
    WriteConfigValue(L"DownLoad", L"AutoDown", L"0", _Module.m_strAppDir + L"Config\\common.ini");

    WNDCLASSW wc = {};
    wc.lpfnWndProc = SinkProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CatalogBenchSink";
    RegisterClassW(&wc);
    HWND sink = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                nullptr);
    CPostedBlocks<PageCallRequest> pageCalls;
    std::vector<ActiveDownload> active;

    std::vector<Row> rows;
    for (int n : {100, 1000, 10000}) {
        const int runs = n >= 10000 ? 5 : 15;
        Row row{n, 0, 0, 0};
        WriteList(n);
        // A new entry goes first; each run adds one more.
        row.add = Median(runs, [&](int i) {
            CString id;
            id.Format(L"%d", 1000000 + i);
            AddListItem(1, id, L"\u65b0\u4e3b\u9898", L"{\"status\":1,\"progress\":\"0\"}",
                        PackageFileText(id));
        });
        // The finished message of the oldest entry (the last in the file).
        row.finished = Median(runs, [&](int) {
            DownloadFinishedInfo info{L"http://127.0.0.1:18082/1.zip", 1};
            RelayDownloadFinished(sink, active, pageCalls, info);
            SetItemStatus(1, L"1", 1); // downloading again for the next run; not timed below
        });
        // Take the posted page calls back.
        MSG msg;
        while (PeekMessageW(&msg, sink, 0, 0, PM_REMOVE))
            pageCalls.Take(msg.hwnd, msg.message, msg.wParam);
        const double restore = Median(runs, [&](int) { SetItemStatus(1, L"1", 1); });
        row.finished -= restore;
        // The start-up pass: every entry finished but one, which is marked stopped.
        row.startup = Median(runs, [&](int) {
            SetItemStatus(1, L"1", 1);
            AutoDownloadPending();
        });
        row.startup -= restore;
        rows.push_back(row);
    }
    DestroyWindow(sink);

    std::printf("local item lists under wine64: median ms per operation\n");
    std::printf("%8s %12s %12s %12s\n", "entries", "add entry", "finished", "start-up");
    for (const Row& row : rows)
        std::printf("%8d %12.2f %12.2f %12.2f\n", row.entries, row.add, row.finished, row.startup);
    const Row& base = rows.front();
    std::printf("\ngrowth against the 100-entry list (linear growth would be 10x and 100x)\n");
    std::printf("%8s %12s %12s %12s\n", "entries", "add entry", "finished", "start-up");
    for (const Row& row : rows)
        std::printf("%8d %11.1fx %11.1fx %11.1fx\n", row.entries, row.add / base.add,
                    row.finished / base.finished, row.startup / base.startup);
    return 0;
}
