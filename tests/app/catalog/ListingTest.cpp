// The listing handlers as the local pages call them through the script
// object: counting and paging the local lists, the states of given items,
// and the web site's recommendations from the test server.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/browser/BrowserExternal.h"
#include "app/browser/UiHtmlListWindow.h"
#include "app/catalog/CatalogScriptHandlers.h"
#include "app/catalog/CatalogSites.h"
#include "app/catalog/ContentPage.h"
#include "app/common/TextUtils.h"
#include "tests/app/browser/BrowserTestSupport.h"
#include "tests/app/browser/ScriptCall.h"
#include "tests/app/browser/StandInDocument.h"
#include "tests/app/catalog/CatalogFixture.h"
#include "tests/app/catalog/PageHandlers.h"
#include "tests/support/TestServer.h"

namespace {

// How many requests the server saw for the target (path and query).
size_t RequestsFor(const std::string& target)
{
    size_t count = 0;
    for (const std::string& raw : CTestServer::Instance().Requests())
        count += raw.compare(0, raw.find('\n'), "GET " + target + " HTTP/1.1\r") == 0 ? 1 : 0;
    return count;
}

// A list of entries given by id and jsons text (UTF-8), newest first.
void WriteJsonsList(int kind, const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<list>";
    for (const auto& entry : entries)
        xml += "<item id=\"" + entry.first + "\" name=\"n\"><jsons>" + entry.second +
               "</jsons><file>Ravonyx\\download\\" + entry.first + ".zip</file></item>";
    WriteFileBytes(DataListPath(kind), xml + "</list>\n");
}

// A catalogue record as the web site gives it, with a Chinese title and the
// preview below the download root.
std::string Record(int id, int status, bool withProgress = true)
{
    const std::string n = std::to_string(id);
    return "{\"id\":\"" + n + "\",\"title\":\"主题" + n + "\",\"img\":\"$imageiniboot$Ravonyx/ico/" + n +
           ".jpg\",\"status\":" + std::to_string(status) +
           (withProgress ? ",\"progress\":\"" + std::to_string(status == 2 ? 100 : 40) + "\"}" : "}");
}

class ListingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.Reset();
        SetCatalogSites({server.Url(""), server.Url("/content/"), server.Url("/dl/")});
        CBrowserExternal::Instance().SetOwner(nullptr, &handlers);
    }
    void TearDown() override
    {
        SetContentBrowser(nullptr);
        CBrowserExternal::Instance().SetOwner(nullptr, nullptr);
    }

    // A page's call of a script method and the text it gets back.
    std::wstring CallText(const wchar_t* method, std::initializer_list<CComVariant> args)
    {
        IDispatch& external = CBrowserExternal::Instance();
        CComVariant result;
        EXPECT_EQ(S_OK,
                  CScriptCall(args).Invoke(external, DispIdOf(external, method), DISPATCH_METHOD, &result));
        EXPECT_EQ(VT_BSTR, result.vt) << CString(method).ToAnsi();
        return result.vt == VT_BSTR && result.bstrVal ? std::wstring(result.bstrVal) : std::wstring();
    }

    CComApartment com;
    CTestServer& server = CTestServer::Instance();
    CCatalogFolders folders;
    CPageHandlers handlers{L"file:///" + _Module.m_strAppDir + L"Local\\management\\mythemes.html?item=1"};
};

// The records of the given entries as a page gets them: joined with ",",
// the placeholder replaced by the download root with forward slashes.
std::wstring PageOf(const std::vector<std::string>& records)
{
    std::string joined;
    for (const std::string& record : records)
        joined += (joined.empty() ? "" : ",") + record;
    CString root = _Module.m_strDownloadDir;
    root.Replace(L"\\", L"/");
    CString text = Utf8ToString(joined.c_str(), static_cast<int>(joined.size()));
    text.Replace(L"$imageiniboot$", root);
    return text.GetString();
}

TEST_F(ListingTest, PagesFollowTheLastCount)
{
    // Three unfinished items are the newest; then 25 finished ones, the
    // finished item numbered k having the id 200 - k + 1. Item 302 has no
    // progress value.
    std::vector<std::pair<std::string, std::string>> themes;
    std::vector<std::string> all;
    for (int id : {301, 302, 303}) {
        themes.emplace_back(std::to_string(id), Record(id, id == 301 ? 1 : 3, id != 302));
        all.push_back(themes.back().second);
    }
    std::vector<std::string> finished;
    for (int id = 200; id > 175; --id) {
        themes.emplace_back(std::to_string(id), Record(id, 2));
        finished.push_back(themes.back().second);
        all.push_back(themes.back().second);
    }
    WriteJsonsList(1, themes);
    WriteJsonsList(2, {{"901", Record(901, 1)}, {"902", Record(902, 3)}});
    auto finishedItems = [&](size_t from, size_t to) {
        return std::vector<std::string>(finished.begin() + (from - 1), finished.begin() + to);
    };
    auto allItems = [&](size_t from, size_t to) {
        return std::vector<std::string>(all.begin() + (from - 1), all.begin() + to);
    };

    const struct {
        const wchar_t* method;
        int a, filter, kind;
        std::wstring answer;
        const char* note;
    } steps[] = {
        {L"Ex_GetPageCount", 10, 1, 1, L"3|25", "25 finished, pages of 10"},
        {L"Ex_LoadDLFile", 1, 1, 1, PageOf(finishedItems(1, 10)), "first page"},
        {L"Ex_LoadDLFile", 3, 1, 1, PageOf(finishedItems(21, 25)), "last page"},
        {L"Ex_LoadDLFile", 7, 1, 1, PageOf(finishedItems(21, 25)), "past the last page"},
        {L"Ex_LoadDLFile", 0, 1, 1, L"", "page 0: items -9 to 0"},
        {L"Ex_LoadDLFile", -3, 1, 1, L"", "negative page"},
        {L"Ex_LoadDLFile", 2, 3, 1, PageOf(allItems(11, 20)), "another filter: the ranges of the count"},
        {L"Ex_LoadDLFile", 3, 3, 1, PageOf(allItems(21, 25)), "another filter's last page ends at 25"},
        {L"Ex_LoadDLFile", 1, 3, 2, PageOf({Record(901, 1), Record(902, 3)}), "another kind"},
        {L"Ex_LoadDLFile", 1, 5, 1, L"", "invalid filter"},
        {L"Ex_GetPageCount", 0, 3, 1, L"1|28", "size 0: one page of everything"},
        {L"Ex_LoadDLFile", 1, 3, 1, PageOf(all), "that page"},
        {L"Ex_GetPageCount", 10, 2, 1, L"3|27", "items with a progress value"},
        {L"Ex_GetPageCount", 4, 3, 5, L"7|28", "kind 5 is the theme list"},
        {L"Ex_GetPageCount", 4, 3, 2, L"1|2", "the wallpaper list"},
        {L"Ex_GetPageCount", 10, 1, 2, L"0|0", "nothing finished"},
        {L"Ex_LoadDLFile", 1, 3, 2, L"", "after an empty count"},
        {L"Ex_GetPageCount", 10, 4, 1, L"0|0", "invalid filter"},
        {L"Ex_LoadDLFile", 1, 1, 1, L"", "after an invalid filter"},
        {L"Ex_GetPageCount", -2, 1, 1, L"0|0", "negative size"},
        {L"Ex_LoadDLFile", 1, 1, 1, L"", "after a negative size"},
        {L"Ex_GetPageCount", 10, 1, 1, L"3|25", "counted again"},
        {L"Ex_LoadDLFile", 2, 1, 1, PageOf(finishedItems(11, 20)), "middle page"},
    };
    for (const auto& step : steps) {
        const std::wstring answer = CallText(step.method, {step.a, step.filter, step.kind});
        EXPECT_EQ(step.answer, answer) << step.note;
    }
    // The pages hand out the Chinese titles and the previews' full paths.
    const std::wstring page = CallText(L"Ex_LoadDLFile", {3, 1, 1});
    EXPECT_NE(std::wstring::npos, page.find(L"\"title\":\"主题180\""));
    CString root = _Module.m_strDownloadDir;
    root.Replace(L"\\", L"/");
    EXPECT_NE(std::wstring::npos, page.find(std::wstring(root.GetString()) + L"Ravonyx/ico/176.jpg"));
    EXPECT_EQ(std::wstring::npos, page.find(L"$imageiniboot$"));
}

// The paging calls keep what they read only while the file stays as it was.
TEST_F(ListingTest, CountsFollowEveryChangeToTheList)
{
    CCatalogFolders::WriteList(1, {{"1", "2"}, {"2", "2"}, {"3", "1"}});
    EXPECT_EQ(L"2|2", CallText(L"Ex_GetPageCount", {1, 1, 1}));
    const struct {
        const char* note;
        std::function<void()> change;
        const wchar_t* answer;
    } changes[] = {
        {"a status rewrite", [] { SetItemStatus(1, L"3", 2); }, L"3|3"},
        {"an entry removed", [] { RemoveListItem(1, L"1"); }, L"2|2"},
        {"an entry added", [] { AddListItem(1, L"4", L"n", L"{\"status\":2}", PackageFileText(L"4")); },
         L"3|3"},
        {"a progress rewrite of the same length",
         [] {
             SetItemStatus(1, L"2", 1);
             SetItemProgress(1, L"2", 7);
         },
         L"2|2"},
        // Written by someone else.
        {"the file rewritten",
         [] {
             CCatalogFolders::WriteList(1, {{"7", "2"}, {"8", "3"}, {"9", "3"}});
         },
         L"1|1"},
        {"the file gone", [] { DeleteFileW(DataListPath(1)); }, L"0|0"},
    };
    for (const auto& c : changes) {
        c.change();
        EXPECT_EQ(std::wstring(c.answer), CallText(L"Ex_GetPageCount", {1, 1, 1})) << c.note;
    }
    CCatalogFolders::WriteList(1, {{"5", "2"}});
    EXPECT_EQ(L"1|1", CallText(L"Ex_GetPageCount", {1, 1, 1}));
    EXPECT_NE(std::wstring::npos, CallText(L"Ex_LoadDLFile", {1, 1, 1}).find(L"\"id\":\"5\""));
}

TEST_F(ListingTest, AnEmptyOrMissingListCountsNothing)
{
    EXPECT_EQ(L"0|0", CallText(L"Ex_GetPageCount", {10, 3, 1}));
    EXPECT_EQ(L"", CallText(L"Ex_LoadDLFile", {1, 3, 1}));
    DeleteFileW(DataListPath(2));
    EXPECT_EQ(L"0|0", CallText(L"Ex_GetPageCount", {0, 3, 2}));
    EXPECT_EQ(L"", CallText(L"Ex_LoadDLFile", {1, 3, 2}));
    EXPECT_EQ(L"", CallText(L"Ex_GetLocalGameIDs", {L"1,2", 2}));
}

TEST_F(ListingTest, LocalStatesOfGivenIds)
{
    WriteJsonsList(1, {
                          {"12", "{\"id\":\"12\",\"status\":2,\"progress\":\"100\"}"},
                          {"14", "{\"id\":\"14\",\"status\":3,\"progress\":\"45\"}"},
                          {"15", "{\"id\":\"15\",\"status\":7,\"progress\":\"5\"}"},
                          {"16", "{\"id\":\"16\",\"status\":9}"},
                          {"17", "{\"id\":\"17\",\"progress\":\"5\"}"},
                          {"18", "{\"id\":\"18\",\"status\":"},
                          {"19", "{\"id\":\"19\",\"status\":6,\"progress\":\"\"}"},
                          {"21", "{\"id\":\"21\",\"status\":1}"},
                          {"22", "{\"id\":\"22\",\"name\":\"主题\",\"status\":0,\"progress\":\"7\"}"},
                      });
    WriteJsonsList(2, {{"14", "{\"id\":\"14\",\"status\":2,\"progress\":\"100\"}"}});
    const struct {
        const wchar_t* ids;
        int kind;
        const wchar_t* answer;
        const char* note;
    } cases[] = {
        {L"12,13", 1, L"{\"gid\":\"12\",\"status\":\"2\"}", "finished: no progress; 13 not listed"},
        {L"14", 1, L"{\"gid\":\"14\",\"status\":\"3\",\"progress\":\"45\"}", "stopped at 45"},
        {L"14", 2, L"{\"gid\":\"14\",\"status\":\"2\"}", "the wallpaper list"},
        {L"15,16", 1, L"", "digits above 6"},
        {L"17,18", 1, L"", "no status digit to read"},
        {L"19,21,22", 1,
         L"{\"gid\":\"19\",\"status\":\"6\",\"progress\":\"\"},{\"gid\":\"21\",\"status\":\"1\"},"
         L"{\"gid\":\"22\",\"status\":\"0\",\"progress\":\"7\"}",
         "in the order asked"},
        {L"21,12,14,99", 0,
         L"{\"gid\":\"21\",\"status\":\"1\"},{\"gid\":\"12\",\"status\":\"2\"},"
         L"{\"gid\":\"14\",\"status\":\"3\",\"progress\":\"45\"}",
         "kind 0 is the theme list"},
        {L"", 1, L"", "no ids"},
        {L",,", 1, L"", "empty ids"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.answer), CallText(L"Ex_GetLocalGameIDs", {c.ids, c.kind})) << c.note;
}

TEST_F(ListingTest, RecommendationsComeFromTheWebSite)
{
    const std::wstring failed = L"<li>由于网络故障等原因，暂时无法获得推荐内容！</li>";
    server.AddRoute("{\"path\": \"/api.php?op=getref_box&type=1\", "
                    "\"body\": \"success|<li><a href=\\\"/zhuti/101.html\\\">蓝色经典</a></li>\"}");
    server.AddRoute("{\"path\": \"/api.php?op=getref_box&type=2\", \"body\": \"success|\"}");
    server.AddRoute("{\"path\": \"/api.php?op=getref_box&type=3\", \"body\": \"fail|<li>x</li>\"}");
    server.AddRoute("{\"path\": \"/api.php?op=getref_box&type=4\", \"body\": \"success <li>x</li>\"}");
    const struct {
        int type;
        std::wstring answer;
    } cases[] = {
        {1, L"<li><a href=\"/zhuti/101.html\">蓝色经典</a></li>"},
        {2, L""},
        {3, failed},
        {4, failed},
        {-7, failed}, // not served
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.answer, CallText(L"Ex_RefContent", {c.type})) << c.type;
    EXPECT_EQ(1u, RequestsFor("/api.php?op=getref_box&type=-7"));

    CString down;
    down.Format(L"http://127.0.0.1:%d", UnusedPort());
    SetCatalogSites({down, server.Url("/content/"), server.Url("/dl/")});
    EXPECT_EQ(failed, CallText(L"Ex_RefContent", {1}));
}

TEST_F(ListingTest, OnlyTheProgramsOwnPagesReachTheLists)
{
    // The real handlers, asking the content browser's document for its
    // address at every call.
    WriteJsonsList(1, {{"101", Record(101, 2)}, {"102", Record(102, 3)}});
    const std::string before = ReadFileBytes(DataListPath(1));
    server.AddRoute("{\"path\": \"/api.php?op=getref_box&type=1\", \"body\": \"success|<li>r</li>\"}");
    CStandInDocument page;
    CTestContainer<CUiHtmlListWindow> content;
    content.document = static_cast<IHTMLDocument2*>(&page);
    SetContentBrowser(&content);
    CBrowserExternal::Instance().SetOwner(nullptr, &CCatalogScriptHandlers::Instance());
    IDispatch& external = CBrowserExternal::Instance();
    auto call = [&](const wchar_t* method, std::initializer_list<CComVariant> args) {
        CComVariant result;
        EXPECT_EQ(S_OK,
                  CScriptCall(args).Invoke(external, DispIdOf(external, method), DISPATCH_METHOD, &result));
        return result;
    };
    const std::wstring local =
        std::wstring(L"file:///") + _Module.m_strAppDir.GetString() + L"Local/management/";
    for (const std::wstring& foreign :
         {std::wstring(L"http://evil.example/"), std::wstring(L"file:///C:/Downloads/mythemes.html"),
          local + L"../../evil.html", std::wstring(L"about:blank"), std::wstring()}) {
        page.url = foreign;
        ASSERT_STREQ(L"0|0", call(L"Ex_GetPageCount", {8, 1, 1}).bstrVal);
        EXPECT_EQ(0u, SysStringLen(call(L"Ex_LoadDLFile", {1, 3, 1}).bstrVal));
        EXPECT_EQ(
            0u, SysStringLen(call(L"Ex_GetLocalGameIDs", {CComVariant(L"101,102"), CComVariant(1)}).bstrVal));
        EXPECT_EQ(0u, SysStringLen(call(L"Ex_RefContent", {1}).bstrVal));
        EXPECT_EQ(0, call(L"Ex_DelTask", {101, 1, 1}).boolVal);
        EXPECT_EQ(0, call(L"Ex_PauseTask", {102}).boolVal);
        EXPECT_EQ(-1, call(L"Ex_StartDownLoad", {102, 1}).intVal);
        EXPECT_EQ(0, call(L"Ex_DLGameInfo", {103, 1, 1}).boolVal);
        EXPECT_EQ(0, call(L"Ex_RunGame", {101, 1}).boolVal);
        call(L"Ex_OpenContentPage", {CComVariant(L"101"), CComVariant(L"theme")});
        call(L"Ex_ControlPageMove", {CComVariant(3), CComVariant(L"")});
    }
    EXPECT_EQ(before, ReadFileBytes(DataListPath(1)));
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(content.navigations.empty());

    // The same calls from the program's own pages are answered.
    page.url = local + L"mythemes.html?item=1";
    EXPECT_STREQ(L"1|1", call(L"Ex_GetPageCount", {8, 1, 1}).bstrVal);
    page.url = server.Url("/content/zhuti/").GetString();
    EXPECT_STREQ(L"<li>r</li>", call(L"Ex_RefContent", {1}).bstrVal);
}

} // namespace
