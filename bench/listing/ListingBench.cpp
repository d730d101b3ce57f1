// The download tab's paging calls as a page makes them, through the script
// object's IDispatch: Ex_GetPageCount (a count of the finished items with
// page size 10) and Ex_LoadDLFile (the first and the last page of 10), on
// theme lists of 1,000 and 10,000 entries. The 1,000-entry list is the
// baseline the larger one is compared with; loading the file alone shows
// how much of a call is reading the list.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <oaidl.h>

#include "app/browser/BrowserExternal.h"
#include "app/catalog/CatalogScriptHandlers.h"
#include "app/catalog/LocalLists.h"
#include "app/common/XmlReader.h"
#include "app/startup/CorvaneModule.h"
#include "bench/support/BenchSupport.h"

namespace {

// A theme list of n entries, ids n..1 (newest first); every fifth one is
// unfinished. Records carry a Chinese title and a preview placeholder.
void WriteList(int n)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<list>\n";
    for (int id = n; id >= 1; --id) {
        const std::string text = std::to_string(id);
        xml += "    <item id=\"" + text + "\" name=\"\xe4\xb8\xbb\xe9\xa2\x98" + text +
               "\">\n        <jsons>{\"id\":\"" + text + "\",\"title\":\"\xe4\xb8\xbb\xe9\xa2\x98" + text +
               "\",\"kind\":\"1\",\"img\":\"$imageiniboot$Ravonyx/ico/" + text +
               ".png\",\"status\":" + (id % 5 == 0 ? "3" : "2") + ",\"progress\":\"0\"}</jsons>\n" +
               "        <file>Ravonyx\\download\\" + text + ".zip</file>\n    </item>\n";
    }
    WriteText(DataListPath(1), xml + "</list>\n");
}

template <typename F> double Median(int runs, F&& run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        run();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A page's call with three whole numbers; the text it gets back.
std::wstring Call(IDispatch& external, DISPID id, int a, int b, int c)
{
    VARIANT args[3];
    for (VARIANT& arg : args)
        VariantInit(&arg), arg.vt = VT_I4;
    args[2].lVal = a; // last-first
    args[1].lVal = b;
    args[0].lVal = c;
    DISPPARAMS params = {args, nullptr, 3, 0};
    VARIANT result;
    VariantInit(&result);
    external.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                    &result, nullptr, nullptr);
    std::wstring text = result.vt == VT_BSTR && result.bstrVal ? result.bstrVal : L"";
    VariantClear(&result);
    return text;
}

DISPID IdOf(IDispatch& external, const wchar_t* name)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = -1;
    external.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

// As Median, with an untimed step before each run.
template <typename P, typename F> double MedianAfter(int runs, P&& prepare, F&& run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare(i);
        const double start = Now();
        run();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Row {
    int entries;
    double load;
    double changed;
    double count;
    double firstPage;
    double lastPage;
};

} // namespace

int main()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const CString root = CString(temp) + L"ravonyx-listing-bench\\";
    for (const wchar_t* folder : {L"", L"program\\", L"program\\Data\\"})
        CreateDirectoryW(root + folder, nullptr);
    _Module.m_strAppDir = root + L"program\\";
    _Module.m_strDownloadDir = L"C:\\Users\\bench\\Downloads\\";

    // The calls come from the "我的下载" page, which Wine cannot load.
    struct CListPageHandlers : CCatalogScriptHandlers {
        bool IsProgramPageCall(IServiceProvider*) override
        {
            return IsProgramPage(L"file:///" + _Module.m_strAppDir + L"Local\\management\\mythemes.html");
        }
    } handlers;
    CBrowserExternal& external = CBrowserExternal::Instance();
    external.SetOwner(nullptr, &handlers);
    const DISPID count = IdOf(external, L"Ex_GetPageCount");
    const DISPID load = IdOf(external, L"Ex_LoadDLFile");

    std::vector<Row> rows;
    for (int n : {1000, 10000}) {
        const int runs = n >= 10000 ? 11 : 31;
        WriteList(n);
        Row row{n, 0, 0, 0, 0, 0};
        row.load = Median(runs, [] { CXmlReader list(DataListPath(1)); });
        row.count = Median(runs, [&] { Call(external, count, 10, 1, 1); });
        // The first count after the list changed reads the file again.
        row.changed = MedianAfter(
            runs, [](int i) { SetItemStatus(1, L"5", i % 2 ? 3 : 1); },
            [&] { Call(external, count, 10, 1, 1); });
        const std::wstring pages = Call(external, count, 10, 1, 1);
        const int last = _wtoi(pages.c_str());
        row.firstPage = Median(runs, [&] { Call(external, load, 1, 1, 1); });
        row.lastPage = Median(runs, [&] { Call(external, load, last, 1, 1); });
        // The answers are the expected size: ten records a page.
        const std::wstring page = Call(external, load, 1, 1, 1);
        const long records = std::count(page.begin(), page.end(), L'}');
        std::printf("%d entries: Ex_GetPageCount(10, 1, 1) = %s, first page holds %ld records\n", n,
                    std::string(pages.begin(), pages.end()).c_str(), records);
        rows.push_back(row);
    }
    external.SetOwner(nullptr, nullptr);

    std::printf("\nthe download tab's paging calls under wine64: median ms per call\n");
    std::printf("%8s %12s %14s %16s %16s %18s\n", "entries", "file load", "count, changed", "Ex_GetPageCount",
                "Ex_LoadDLFile 1", "Ex_LoadDLFile last");
    for (const Row& row : rows)
        std::printf("%8d %12.2f %14.2f %16.2f %16.2f %18.2f\n", row.entries, row.load, row.changed, row.count,
                    row.firstPage, row.lastPage);
    const Row& base = rows.front();
    std::printf("\ngrowth against the 1,000-entry list (linear growth would be 10x)\n");
    for (const Row& row : rows)
        std::printf("%8d %11.1fx %13.1fx %15.1fx %15.1fx %17.1fx\n", row.entries, row.load / base.load,
                    row.changed / base.changed, row.count / base.count, row.firstPage / base.firstPage,
                    row.lastPage / base.lastPage);
    const Row& big = rows.back();
    std::printf(
        "\na page of 10 from %d entries: count + page = %.2f ms; right after the list changed %.2f ms "
        "(one frame: 16.7 ms)\n",
        big.entries, big.count + big.firstPage, big.changed + big.firstPage);
    return 0;
}
