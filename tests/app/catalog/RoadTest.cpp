// The download road end to end: pages call the script object's methods
// through IDispatch; the handlers ask the test server, write the lists and
// queue packages with the real Dunmere.dll; the library's messages reach a
// stand-in of the main window that relays them as the main window does, to
// a stand-in page that records its script calls. Message boxes are the
// program's own and are answered by the test.
#include <gtest/gtest.h>

#include <dispex.h>

#include <algorithm>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "app/browser/BrowserExternal.h"
#include "app/catalog/CatalogDownloads.h"
#include "app/catalog/CatalogScriptHandlers.h"
#include "app/catalog/CatalogSites.h"
#include "app/catalog/ContentPage.h"
#include "app/catalog/DownloadRelay.h"
#include "app/common/ConfigCodec.h"
#include "app/mainwnd/MainDlgMessages.h"
#include "app/mainwnd/PostedBlocks.h"
#include "skin/SkFontPool.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "tests/app/browser/BrowserTestSupport.h"
#include "tests/app/browser/ScriptCall.h"
#include "tests/app/browser/StandInDocument.h"
#include "tests/app/catalog/BoxAnswers.h"
#include "tests/app/catalog/CatalogFixture.h"
#include "tests/support/TestServer.h"

namespace {

// The main window as the relay needs it: its running downloads, its content
// address, its posted page calls, and the tab and pop-up requests it gets.
class CRoadWindow : public CWindowImpl {
public:
    std::vector<ActiveDownload> active;
    CString contentUrl;
    CPostedBlocks<PageCallRequest> pageCalls;
    std::vector<int> tabs;
    std::vector<std::pair<int, int>> popups;
    std::vector<CString> stopped; // file titles of the stopped messages

    HWND CreateTop()
    {
        static CWindowClass cls(0);
        return Create(cls, nullptr, RECT{0, 0, 300, 200}, L"road", WS_POPUP);
    }

protected:
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        switch (msg) {
        case WM_DOWNLOAD_PROGRESS:
            if (const auto* info = DownloadRecord<DownloadProgressInfo>(hwnd, msg, wParam))
                result = RelayDownloadProgress(active, contentUrl, *info);
            return TRUE;
        case WM_DOWNLOAD_FINISHED:
            if (const auto* info = DownloadRecord<DownloadFinishedInfo>(hwnd, msg, wParam))
                result = RelayDownloadFinished(hwnd, active, pageCalls, *info);
            return TRUE;
        case WM_DOWNLOAD_STOPPED:
            if (const auto* info = DownloadRecord<DownloadStoppedInfo>(hwnd, msg, wParam)) {
                stopped.push_back(info->fileTitle);
                result = RelayDownloadStopped(active, *info);
            }
            return TRUE;
        case WM_PAGE_CALL:
            if (std::unique_ptr<PageCallRequest> request = pageCalls.Take(hwnd, msg, wParam))
                RunPageScriptRequest(std::move(request));
            result = 0;
            return TRUE;
        case WM_SELECT_TAB:
            tabs.push_back(static_cast<int>(wParam));
            result = 0;
            return TRUE;
        case WM_SHOW_FINISHED_POPUP:
            popups.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
            result = ShowFinishedPopup(hwnd, static_cast<int>(wParam), static_cast<int>(lParam));
            return TRUE;
        default:
            (void)lParam;
            return FALSE;
        }
    }
};

// The local themes page of the program folder the tests make.
CString ThemesPage()
{
    return L"file:///" + _Module.m_strAppDir + L"Local\\management\\mythemes.html";
}

std::string ItemReply(const std::string& id, const std::string& name, const std::string& imagePath)
{
    return "success | gamename:" + name + " | contenturl:/c/" + id + ".html | imagepath:" + imagePath +
           " | gamepath:p | jsons:{\"id\":\"" + id + "\",\"img\":\"$imagelocalpath$" + id +
           ".jpg\",\"status\":0,\"progress\":\"0\"}";
}

std::string JsonText(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char ch : text) {
        if (ch == '"' || ch == '\\')
            out += '\\', out += static_cast<char>(ch);
        else if (ch < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof(escaped), "\\u%04x", ch);
            out += escaped;
        } else
            out += static_cast<char>(ch);
    }
    return out + "\"";
}

void RouteItem(int id, const std::string& reply)
{
    CTestServer::Instance().AddRoute("{\"path\": \"/api.php?op=getinfo_box&gid=" + std::to_string(id) +
                                     "\", \"body\": " + JsonText(reply) + "}");
}

// The request paths the server saw, in arrival order.
std::vector<std::string> RequestPaths()
{
    std::vector<std::string> paths;
    for (const std::string& raw : CTestServer::Instance().Requests()) {
        const size_t space = raw.find(' ');
        const size_t end = raw.find(' ', space + 1);
        std::string target = raw.substr(space + 1, end - space - 1);
        const size_t host = target.find("://");
        if (host != std::string::npos)
            target = target.substr(target.find('/', host + 3));
        paths.push_back(target);
    }
    return paths;
}

size_t IndexOf(const std::vector<std::string>& paths, const std::string& path)
{
    return static_cast<size_t>(std::find(paths.begin(), paths.end(), path) - paths.begin());
}

// Every file below a folder, as paths relative to it.
void ListFiles(const CString& folder, const CString& prefix, std::set<std::wstring>& out)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(folder + L"*", &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const CString name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(folder + name + L"\\", prefix + name + L"\\", out);
        else
            out.insert((prefix + name).GetString());
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

class RoadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(LoadStringTable());
        SetDefaultFontFace(SkString::Get(0));
        ASSERT_TRUE(LoadSkins());
        ASSERT_TRUE(LoadStyles());
    }

    void SetUp() override
    {
        server.Reset();
        SetCatalogSites({server.Url(""), server.Url("/content/"), server.Url("/dl/")});
        ASSERT_TRUE(window.CreateTop());
        InitDll(window.m_hWnd);
        CBrowserExternal::Instance().SetOwner(window.m_hWnd, &CCatalogScriptHandlers::Instance());

        script.functions = {L"displayDownloadProgress", L"EnableStartBnt"};
        page.script = &script;
        // A page of the content site (the tests change the program folder).
        page.url = server.Url("/content/zhuti/").GetString();
        container.document = static_cast<IHTMLDocument2*>(&page);
        ASSERT_TRUE(container.Create(window.m_hWnd, RECT{0, 0, 200, 150}, WS_CHILD, 0, 115));
        SetContentBrowser(&container);
        window.contentUrl = ThemesPage();
    }

    void TearDown() override
    {
        SetContentBrowser(nullptr);
        CBrowserExternal::Instance().SetOwner(nullptr, nullptr);
        window.DestroyWindow();
    }

    // A page's call of a script method; the VARIANT it gets back.
    CComVariant CallPage(const wchar_t* method, std::initializer_list<CComVariant> args)
    {
        IDispatch& external = CBrowserExternal::Instance();
        CComVariant result;
        EXPECT_EQ(S_OK,
                  CScriptCall(args).Invoke(external, DispIdOf(external, method), DISPATCH_METHOD, &result));
        return result;
    }
    static bool IsTrue(const CComVariant& value) { return value.vt == VT_BOOL && value.boolVal != 0; }

    // The arguments of the page's calls of one function.
    std::vector<std::wstring> PageCalls(const wchar_t* function) const
    {
        const DISPID id = function == std::wstring(L"EnableStartBnt") ? 2 : 1;
        std::vector<std::wstring> args;
        for (const CRecordingScript::Call& call : script.calls)
            if (call.id == id)
                args.push_back(call.arg);
        return args;
    }
    bool PageGot(const wchar_t* function, const std::wstring& arg) const
    {
        const std::vector<std::wstring> args = PageCalls(function);
        return std::find(args.begin(), args.end(), arg) != args.end();
    }
    static std::wstring Record(const wchar_t* id, int percent, const wchar_t* speed)
    {
        return std::wstring(L"{\"soft_id\":\"") + id + L"\",\"content\":\"" + std::to_wstring(percent) +
               L"\",\"speed\":\"" + speed + L"\"}";
    }
    // Runs messages until the entry's status is the digit.
    static bool WaitForStatus(int kind, const std::string& id, const std::string& digit, DWORD ms = 60000)
    {
        return PumpUntil([&] { return CCatalogFolders::Status(kind, id) == digit; }, ms);
    }

    CComApartment com;
    CTestServer& server = CTestServer::Instance();
    CCatalogFolders folders;
    CRoadWindow window;
    CRecordingScript script;
    CStandInDocument page;
    CTestContainer<CUiHtmlListWindow> container;
};

TEST_F(RoadTest, APageCallDownloadsAThemeFromStartToFinish)
{
    const std::string package = TestBytes(300000, 1);
    server.PutFile("/dl/101.zip", package);
    server.PutFile("/img/101.jpg", TestBytes(5000, 2));
    RouteItem(101, ItemReply("101", "蓝色经典", "/img/101.jpg"));

    CBoxAnswers boxes({IDYES});
    EXPECT_TRUE(IsTrue(CallPage(L"Ex_DLGameInfo", {101, 1, 1})));
    ASSERT_EQ(1u, boxes.shown.size());
    EXPECT_EQ(L"主题已经开始下载，需要到下载管理查看进度吗？", boxes.shown[0].text);
    EXPECT_EQ(L"下载提示", boxes.shown[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), boxes.shown[0].type);
    EXPECT_EQ(std::vector<int>{11}, window.tabs);

    std::vector<ListEntry> entries = CCatalogFolders::Entries(1);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ("101", entries[0].id);
    EXPECT_EQ("蓝色经典", entries[0].name);
    EXPECT_EQ(
        "{\"id\":\"101\",\"img\":\"$imageiniboot$Ravonyx/ico/101.jpg\",\"status\":0,\"progress\":\"0\"}",
        entries[0].jsons);
    EXPECT_EQ("Ravonyx\\download\\101.zip", entries[0].file);

    ASSERT_TRUE(WaitForStatus(1, "101", "2"));
    const std::wstring finished = Record(L"101", 100, L"0.0");
    ASSERT_TRUE(PumpUntil([&] { return PageGot(L"displayDownloadProgress", finished); }));
    EXPECT_EQ(package, ReadFileBytes(folders.Down(L"Ravonyx\\download\\101.zip")));
    ASSERT_TRUE(PumpUntil([&] { return FileExists(folders.Down(L"Ravonyx\\ico\\101.jpg")); }, 30000));
    EXPECT_TRUE(window.active.empty());
    EXPECT_EQ("蓝色经典", CCatalogFolders::Entries(1)[0].name);

    // The record came first; the preview and the package after it.
    const std::vector<std::string> paths = RequestPaths();
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ("/api.php?op=getinfo_box&gid=101", paths[0]);
    EXPECT_LT(IndexOf(paths, "/img/101.jpg"), paths.size());
    EXPECT_LT(IndexOf(paths, "/dl/101.zip"), paths.size());

    // Every page record is about this item; the finished one is the last.
    const std::vector<std::wstring> records = PageCalls(L"displayDownloadProgress");
    EXPECT_EQ(finished, records.back());
    for (const std::wstring& record : records)
        EXPECT_EQ(0u, record.find(L"{\"soft_id\":\"101\",\"content\":\""))
            << CString(record.c_str()).ToAnsi();

    // Asked again: the list is shown instead, nothing is added or fetched.
    const size_t requests = RequestPaths().size();
    boxes.Expect({IDOK});
    EXPECT_FALSE(IsTrue(CallPage(L"Ex_DLGameInfo", {101, 1, 1})));
    ASSERT_EQ(1u, boxes.shown.size());
    EXPECT_EQ(L"文件已经下载或下载中，请直接应用！", boxes.shown[0].text);
    EXPECT_EQ(L"提示信息", boxes.shown[0].caption);
    EXPECT_EQ((std::vector<int>{11, 0}), window.tabs);
    EXPECT_EQ(1u, CCatalogFolders::Entries(1).size());
    EXPECT_EQ(requests, RequestPaths().size());
    EXPECT_TRUE(window.popups.empty()); // download alerts are off
}

TEST_F(RoadTest, TwoWallpapersFinishTogetherBothRecorded)
{
    for (int id : {201, 202}) {
        const std::string n = std::to_string(id);
        server.PutFile(("/dl/" + n + ".zip").c_str(), TestBytes(200000, id));
        server.PutFile(("/img/" + n + ".jpg").c_str(), TestBytes(3000, id));
    }
    // One record names its image by the web site's full address.
    RouteItem(201, ItemReply("201", "山水", CString(server.Url("/img/201.jpg")).ToAnsi()));
    RouteItem(202, ItemReply("202", "Sea", "/img/202.jpg"));
    // A catalogue page of another site: no progress records for it.
    window.contentUrl = L"http://127.0.0.1:1/other/index.html";

    CBoxAnswers boxes({IDNO});
    EXPECT_TRUE(IsTrue(CallPage(L"Ex_DLGameInfo", {201, 2, 2})));
    EXPECT_TRUE(IsTrue(CallPage(L"Ex_DLGameInfo", {202, 2, 3})));
    ASSERT_EQ(1u, boxes.shown.size());
    EXPECT_EQ(L"壁纸已经开始下载，需要到下载管理查看进度吗？", boxes.shown[0].text);
    EXPECT_TRUE(window.tabs.empty());

    const std::vector<ListEntry> entries = CCatalogFolders::Entries(2);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("202", entries[0].id);
    EXPECT_EQ("201", entries[1].id);
    EXPECT_EQ("山水", entries[1].name);
    EXPECT_TRUE(CCatalogFolders::Entries(1).empty());

    ASSERT_TRUE(WaitForStatus(2, "201", "2"));
    ASSERT_TRUE(WaitForStatus(2, "202", "2"));
    ASSERT_TRUE(PumpUntil([&] { return PageCalls(L"displayDownloadProgress").size() == 2; }));
    EXPECT_TRUE(PageGot(L"displayDownloadProgress", Record(L"201", 100, L"0.0")));
    EXPECT_TRUE(PageGot(L"displayDownloadProgress", Record(L"202", 100, L"0.0")));
    EXPECT_TRUE(window.popups.empty());
    EXPECT_TRUE(window.active.empty());
    // Each preview thread kept its own address and folder.
    ASSERT_TRUE(PumpUntil(
        [&] {
            return FileExists(folders.Down(L"Ravonyx\\ico\\201.jpg")) &&
                   FileExists(folders.Down(L"Ravonyx\\ico\\202.jpg"));
        },
        30000));
    // The full address was used as it came.
    EXPECT_FALSE(server.Requests("/img/201.jpg").empty());
    for (const std::string& path : RequestPaths()) {
        if (path.find("/img") == 0) {
            EXPECT_TRUE(path == "/img/201.jpg" || path == "/img/202.jpg") << path;
        }
    }
}

TEST_F(RoadTest, FailedRequestsAreToldAndAddNothing)
{
    RouteItem(901, "fail");
    RouteItem(902, "success | gamename:a | contenturl: | imagepath:/img/902.jpg | gamepath:");
    RouteItem(903, ItemReply("903", "b", "/img/903.jpg"));
    server.PutFile("/img/903.jpg", "jpg");
    // A record longer than the request reads, sent in pieces: cut short, it
    // would still look whole.
    CTestServer::Instance().AddRoute("{\"path\": \"/api.php?op=getinfo_box&gid=905\", \"chunks\": 4, "
                                     "\"chunk_delay\": 0.05, \"body\": " +
                                     JsonText(ItemReply("905", std::string(2000, 'n'), "/img/905.jpg")) +
                                     "}");
    RouteItem(906, ItemReply("906", "c", "/img/906.jpg"));
    server.PutFile("/img/906.jpg", "jpg");
    const struct {
        int id;
        int listKind;
        bool serverDown;
        bool wallpaperListMissing;
        bool listReadOnly;
        const wchar_t* text;
        const wchar_t* caption;
    } cases[] = {
        {901, 1, false, false, false, L"由于网络故障等原因，此文件暂时无法下载！", L"下载失败"},
        {902, 1, false, false, false, L"由于网络故障等原因，此文件暂时无法下载！", L"下载失败"},
        {903, 2, false, true, false, L"由于数据文件异常，导致文件暂时无法添加！", L"下载失败"},
        {904, 1, true, false, false, L"无法连接服务器，请检查您的网络！", L"错误信息"},
        {905, 1, false, false, false, L"无法连接服务器，请检查您的网络！", L"错误信息"},
        {906, 1, false, false, true, L"由于数据文件异常，导致文件暂时无法添加！", L"下载失败"},
    };
    for (const auto& c : cases) {
        CCatalogFolders fresh;
        if (c.wallpaperListMissing)
            DeleteFileW(DataListPath(2));
        if (c.listReadOnly)
            SetFileAttributesW(DataListPath(c.listKind), FILE_ATTRIBUTE_READONLY);
        const CString web = server.Url("");
        if (c.serverDown) {
            CString down;
            down.Format(L"http://127.0.0.1:%d", UnusedPort());
            SetCatalogSites({down, server.Url("/content/"), server.Url("/dl/")});
        }
        CBoxAnswers boxes({IDOK});
        EXPECT_FALSE(IsTrue(CallPage(L"Ex_DLGameInfo", {c.id, c.listKind, 1}))) << c.id;
        ASSERT_EQ(1u, boxes.shown.size()) << c.id;
        EXPECT_EQ(c.text, boxes.shown[0].text) << c.id;
        EXPECT_EQ(c.caption, boxes.shown[0].caption) << c.id;
        if (c.id == 903 || c.id == 906) { // its preview is fetched before the list refuses it
            const CString preview = _Module.m_strDownloadDir + L"Ravonyx\\ico\\" +
                                    CString::FromAnsi(std::to_string(c.id).c_str()) + L".jpg";
            EXPECT_TRUE(PumpUntil([&preview] { return FileExists(preview); }, 30000));
        }
        EXPECT_TRUE(CCatalogFolders::Entries(1).empty()) << c.id;
        EXPECT_TRUE(CCatalogFolders::Entries(2).empty()) << c.id;
        EXPECT_TRUE(server.Requests("/dl/" + std::to_string(c.id) + ".zip").empty()) << c.id;
        SetCatalogSites({web, server.Url("/content/"), server.Url("/dl/")});
        SetFileAttributesW(DataListPath(c.listKind), FILE_ATTRIBUTE_NORMAL);
    }
    const std::vector<std::string> paths = RequestPaths();
    EXPECT_EQ(1, std::count(paths.begin(), paths.end(), "/api.php?op=getinfo_box&gid=905"));
}

TEST_F(RoadTest, PreviewNamesThatCouldLeaveTheImageFolderAreNeverFetched)
{
    const char* paths[] = {
        "/img/..\\..\\..\\evil.jpg", "/img/c:evil.jpg", "/img/evil.jpg.", "/img/evil.jpg ",
        "/img/ev\x01il.jpg",         "/img/..",         "/img/",
    };
    int id = 300;
    std::vector<std::string> ids;
    for (const char* path : paths) {
        ++id;
        ids.push_back(std::to_string(id));
        server.PutFile(("/dl/" + ids.back() + ".zip").c_str(), TestBytes(1000, id));
        RouteItem(id, ItemReply(ids.back(), "x", path));
        // The item itself is still added and downloaded.
        EXPECT_TRUE(IsTrue(CallPage(L"Ex_DLGameInfo", {id, 1, 3}))) << path;
    }
    for (const std::string& item : ids)
        ASSERT_TRUE(WaitForStatus(1, item, "2")) << item;

    std::set<std::wstring> files;
    CString root = _Module.m_strDownloadDir;
    root = root.Left(root.GetLength() - 1);
    root = root.Left(root.ReverseFind(L'\\') + 1);
    ListFiles(root, L"", files);
    // Besides the lists, only the settings file that counts the active days.
    std::set<std::wstring> expected = {L"program\\Config\\common.ini", L"program\\Data\\MyImages.xml",
                                       L"program\\Data\\MyThemes.xml"};
    for (const std::string& item : ids)
        expected.insert(L"down\\Ravonyx\\download\\" + std::wstring(item.begin(), item.end()) + L".zip");
    EXPECT_EQ(expected, files);
    for (const std::string& path : RequestPaths())
        EXPECT_NE(0u, path.find("/img")) << path;
}

TEST_F(RoadTest, AStopRecordsTheLastProgressAndARestartFinishes)
{
    server.PutFile("/dl/102.zip", TestBytes(1500000, 3));
    server.AddRoute("{\"path\": \"/dl/102.zip\", \"rate\": 40000}");
    server.PutFile("/img/102.jpg", "jpg");
    RouteItem(102, ItemReply("102", "慢", "/img/102.jpg"));
    window.contentUrl = CString(server.Url("/content/zhuti/1/"));

    EXPECT_TRUE(IsTrue(CallPage(L"Ex_DLGameInfo", {102, 1, 3})));
    ASSERT_TRUE(PumpUntil([&] { return !window.active.empty() && window.active[0].percent > 0; }, 60000));
    EXPECT_TRUE(IsTrue(CallPage(L"Ex_PauseTask", {102})));
    ASSERT_TRUE(PumpUntil([&] { return PageGot(L"EnableStartBnt", L"102"); }, 60000));
    EXPECT_TRUE(window.active.empty());

    // The list keeps the last percent the page was shown.
    const std::vector<std::wstring> records = PageCalls(L"displayDownloadProgress");
    ASSERT_FALSE(records.empty());
    const std::wstring& last = records.back();
    const size_t at = last.find(L"\"content\":\"") + 11;
    const std::string percent = CString(last.substr(at, last.find(L'"', at) - at).c_str()).ToAnsi();
    EXPECT_NE("0", percent);
    EXPECT_EQ("{\"id\":\"102\",\"img\":\"$imageiniboot$Ravonyx/ico/102.jpg\",\"status\":3,\"progress\":\"" +
                  percent + "\"}",
              CCatalogFolders::Jsons(1, "102"));

    // Restarted from the page: downloading again, then finished.
    server.Reset();
    server.PutFile("/dl/102.zip", TestBytes(1500000, 3));
    const CComVariant started = CallPage(L"Ex_StartDownLoad", {102, 1});
    ASSERT_EQ(VT_INT, started.vt);
    EXPECT_EQ(1, started.intVal);
    EXPECT_EQ("1", CCatalogFolders::Status(1, "102"));
    ASSERT_TRUE(WaitForStatus(1, "102", "2"));
}

TEST_F(RoadTest, AStopBeforeAnyProgressMarksTheListOfItsOwnKind)
{
    CCatalogFolders::WriteList(1, {{"55", "1"}});
    CCatalogFolders::WriteList(2, {{"55", "1"}});
    DownloadStoppedInfo info{L"55", 2};
    // Only the library can send its records: the relay is called as the
    // window's handler calls it.
    EXPECT_EQ(1, RelayDownloadStopped(window.active, info));
    EXPECT_EQ("{\"id\":\"55\",\"status\":3,\"progress\":\"0\"}", CCatalogFolders::Jsons(2, "55"));
    EXPECT_EQ("1", CCatalogFolders::Status(1, "55"));
    EXPECT_EQ(std::vector<std::wstring>{L"55"}, PageCalls(L"EnableStartBnt"));
}

// The engine's service provider of a calling script: it names the document
// that holds the script, as an IHTMLDocument2 or only as its IDispatch, or
// names none.
class CStandInCaller : public IServiceProvider {
public:
    IHTMLDocument2* document = nullptr;
    bool onlyAsDispatch = false;
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IServiceProvider)
            return E_NOINTERFACE;
        *out = static_cast<IServiceProvider*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override
    {
        *out = nullptr;
        static const GUID kContainerDispatch = {
            0xb722be00, 0x4e68, 0x101b, {0xa2, 0xbc, 0x00, 0xaa, 0x00, 0x40, 0x47, 0x70}};
        if (service != kContainerDispatch || !document)
            return E_NOINTERFACE;
        if (iid == IID_IHTMLDocument2 && onlyAsDispatch)
            return E_NOINTERFACE;
        return document->QueryInterface(iid, out);
    }
};

// A frame of a page: its document with a script, inside the parent's window.
struct CStandInFrame {
    CStandInDocument document;
    CRecordingScript script;

    CStandInFrame(CStandInWindow& parent, const std::wstring& url)
    {
        document.url = url;
        document.script = &script;
        document.window.parent = &parent;
        parent.frames.push_back(&document.window);
    }
};

// Only the program's own pages, in frames of its own pages, reach the
// script object. Where the engine names the calling document, it and every
// document above it must be the program's; where it does not, a frame of
// another origin anywhere in the page refuses every call, since it could be
// the caller.
TEST_F(RoadTest, OnlyTheProgramsPagesInItsOwnFramesReachTheScriptObject)
{
    CCatalogFolders::WriteList(1, {{"71", "1"}});
    const std::wstring own = server.Url("/content/zhuti/a.html").GetString();
    const std::wstring foreign = L"http://evil.example/?127.0.0.1/content/";
    IDispatch& external = CBrowserExternal::Instance();
    CComPtr<IDispatchEx> extended;
    EXPECT_EQ(S_OK, external.QueryInterface(__uuidof(IDispatchEx), reinterpret_cast<void**>(&extended)));
    const DISPID id = DispIdOf(external, L"Ex_GetLocalGameIDs");
    ASSERT_EQ(9, id);
    // Whether the item's state came back: a refused call answers "".
    const auto answered = [&](IServiceProvider* caller, bool throughInvokeEx) {
        if (throughInvokeEx && !extended) {
            ADD_FAILURE() << "the engine cannot say who calls: no IDispatchEx";
            return false;
        }
        CComVariant args[] = {CComVariant(1), CComVariant(L"71")};
        DISPPARAMS params = {args, nullptr, 2, 0};
        CComVariant result;
        const HRESULT hr = throughInvokeEx
                               ? extended->InvokeEx(id, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                                    &result, nullptr, caller)
                               : external.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                                 &result, nullptr, nullptr);
        EXPECT_EQ(S_OK, hr);
        return result.vt == VT_BSTR && SysStringLen(result.bstrVal) > 0;
    };
    EXPECT_TRUE(answered(nullptr, false));
    EXPECT_TRUE(answered(nullptr, true));

    // Without the engine's word: any foreign frame, readable or not, at any
    // depth, refuses; frames of the program's pages do not.
    {
        CStandInFrame ownFrame(page.window, own);
        CStandInFrame nested(ownFrame.document.window, own);
        EXPECT_TRUE(answered(nullptr, false));
        CStandInFrame deeper(nested.document.window, foreign);
        EXPECT_FALSE(answered(nullptr, false));
        EXPECT_FALSE(answered(nullptr, true));
    }
    page.window.frames.clear();
    {
        CStandInFrame hidden(page.window, own);
        hidden.document.window.documentDenied = true; // another origin's: not readable
        EXPECT_FALSE(answered(nullptr, false));
    }
    page.window.frames.clear();

    // With it: the calling document and the ones above it decide.
    {
        CStandInFrame ad(page.window, foreign);
        CStandInFrame ownFrame(page.window, own);
        CStandInFrame underAd(ad.document.window, own);
        CStandInFrame hiddenParent(page.window, own);
        CStandInFrame underHidden(hiddenParent.document.window, own);
        hiddenParent.document.window.documentDenied = true;
        CStandInCaller caller;
        const struct {
            IHTMLDocument2* calling;
            bool onlyAsDispatch;
            bool answers;
        } cases[] = {
            {&page, false, true},
            {&page, true, true},
            {&ownFrame.document, false, true},
            {&ownFrame.document, true, true},
            {&ad.document, false, false},
            {&ad.document, true, false},
            {&underAd.document, false, false},
            {&underHidden.document, false, false},
        };
        for (const auto& c : cases) {
            caller.document = c.calling;
            caller.onlyAsDispatch = c.onlyAsDispatch;
            EXPECT_EQ(c.answers, answered(&caller, true))
                << (&c - cases) << ": "
                << CString(static_cast<CStandInDocument*>(c.calling)->url.c_str()).ToAnsi();
        }
        // A provider that names no document: as without one.
        caller.document = nullptr;
        EXPECT_FALSE(answered(&caller, true));
        // The top page itself must be the program's.
        page.url = foreign;
        caller.document = &ownFrame.document;
        EXPECT_FALSE(answered(&caller, true));
        page.url = own;
    }
    page.window.frames.clear();
    EXPECT_TRUE(answered(nullptr, false));
}

// The page calls of a download reach the content page only while it shows
// one of the program's pages: a page the browser moved on to, or a foreign
// address that names the content site in its query, gets none of them. The
// lists are kept all the same.
TEST_F(RoadTest, AForeignPageGetsNoDownloadCalls)
{
    const struct {
        std::wstring shown; // the content browser's document
        CString contentUrl; // where the program sent it
        bool own;
    } cases[] = {
        {L"http://evil.example/?127.0.0.1:18081/", L"http://evil.example/?127.0.0.1:18081/", false},
        {L"http://evil.example/zhuti/", ThemesPage(), false},
        {L"about:blank", ThemesPage(), false},
        {server.Url("/content/zhuti/").GetString(), ThemesPage(), true},
        {std::wstring(ThemesPage().GetString()), ThemesPage(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CString(c.shown.c_str()).ToAnsi());
        script.calls.clear();
        page.url = c.shown;
        window.contentUrl = c.contentUrl;
        CCatalogFolders::WriteList(1, {{"61", "1"}, {"62", "1"}});

        DownloadProgressInfo progress{40, 12.5f, L"61", 1};
        EXPECT_EQ(1, RelayDownloadProgress(window.active, window.contentUrl, progress));
        DownloadStoppedInfo stopped{L"61", 1};
        EXPECT_EQ(1, RelayDownloadStopped(window.active, stopped));
        DownloadFinishedInfo finished{server.Url("/dl/62.zip"), 3};
        EXPECT_EQ(0, RelayDownloadFinished(window.m_hWnd, window.active, window.pageCalls, finished));
        PumpUntil([] { return false; }, 100);

        EXPECT_EQ("3", CCatalogFolders::Status(1, "61"));
        EXPECT_EQ("2", CCatalogFolders::Status(1, "62"));
        if (c.own) {
            EXPECT_EQ(std::vector<std::wstring>{L"61"}, PageCalls(L"EnableStartBnt"));
            EXPECT_EQ((std::vector<std::wstring>{Record(L"61", 40, L"12.5"), Record(L"62", 100, L"0.0")}),
                      PageCalls(L"displayDownloadProgress"));
        } else {
            EXPECT_TRUE(script.calls.empty()) << script.calls.size() << " calls";
        }
    }
}

// A finished, stopped or (at exit) still running download whose status the
// list cannot take is said, and the list and the page are left as what
// they are: not finished. With the list writable each is recorded silently.
TEST_F(RoadTest, AStatusTheListCannotTakeIsReported)
{
    const std::wstring notSaved = L"下载状态无法保存，请检查您的权限！";
    enum Event { kFinished, kStopped, kAtExit };
    const struct {
        const char* name;
        Event event;
        bool readOnly;
        const char* status; // the entry's status afterwards
    } cases[] = {
        {"finished", kFinished, false, "2"}, {"finished, list read-only", kFinished, true, "1"},
        {"stopped", kStopped, false, "3"},   {"stopped, list read-only", kStopped, true, "1"},
        {"at exit", kAtExit, false, "3"},    {"at exit, list read-only", kAtExit, true, "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        script.calls.clear();
        CCatalogFolders::WriteList(1, {{"56", "1"}});
        window.active = {ActiveDownload{L"56", 40, 1}};
        if (c.readOnly) {
            ASSERT_TRUE(SetFileAttributesW(DataListPath(1), FILE_ATTRIBUTE_READONLY));
        }
        CBoxAnswers boxes(c.readOnly ? std::deque<UINT>{IDOK} : std::deque<UINT>{});
        if (c.event == kFinished) {
            DownloadFinishedInfo info{server.Url("/dl/56.zip"), 1};
            RelayDownloadFinished(window.m_hWnd, window.active, window.pageCalls, info);
        } else if (c.event == kStopped) {
            DownloadStoppedInfo info{L"56", 1};
            RelayDownloadStopped(window.active, info);
        } else {
            RecordStoppedDownloads(window.active);
        }
        // The page call posted by the finish has run.
        if (c.event == kFinished) {
            EXPECT_TRUE(PumpUntil([&] {
                return PageGot(L"displayDownloadProgress", Record(L"56", 100, L"0.0")) ||
                       PageGot(L"EnableStartBnt", L"56");
            })) << "the finish's page call";
        }
        SetFileAttributesW(DataListPath(1), FILE_ATTRIBUTE_NORMAL);

        EXPECT_EQ(c.status, CCatalogFolders::Status(1, "56"));
        EXPECT_EQ(c.readOnly ? 1u : 0u, boxes.shown.size());
        if (!boxes.shown.empty()) {
            EXPECT_EQ(notSaved, boxes.shown[0].text);
            EXPECT_EQ(L"错误信息", boxes.shown[0].caption);
        }
        if (c.event == kFinished) {
            // Shown finished only once recorded; else it can be started again.
            EXPECT_EQ(!c.readOnly, PageGot(L"displayDownloadProgress", Record(L"56", 100, L"0.0")));
            EXPECT_EQ(c.readOnly, PageGot(L"EnableStartBnt", L"56"));
        }
        if (c.event == kAtExit && !c.readOnly) {
            EXPECT_EQ("{\"id\":\"56\",\"status\":3,\"progress\":\"40\"}", CCatalogFolders::Jsons(1, "56"));
        }
    }
}

// A start for an item the list does not hold downloads nothing: there is no
// entry to tell where its package goes.
TEST_F(RoadTest, AStartForAnItemThatIsNotListedIsRefused)
{
    server.PutFile("/dl/77.zip", TestBytes(1000, 7));
    server.PutFile("/dl/78.zip", TestBytes(1000, 8));
    CCatalogFolders::WriteList(1, {{"78", "3"}});
    CCatalogFolders::WriteList(2, {{"77", "3"}});
    const CComVariant refused = CallPage(L"Ex_StartDownLoad", {77, 1});
    ASSERT_EQ(VT_INT, refused.vt);
    EXPECT_EQ(kItemNotListed, refused.intVal);
    // A start queued after it finishes; the refused one was never asked for.
    EXPECT_EQ(1, CallPage(L"Ex_StartDownLoad", {78, 1}).intVal);
    ASSERT_TRUE(WaitForStatus(1, "78", "2"));
    const std::vector<std::string> paths = RequestPaths();
    EXPECT_EQ(paths.size(), IndexOf(paths, "/dl/77.zip"));
    EXPECT_FALSE(FileExists(_Module.m_strDownloadDir + L"77.zip"));
    EXPECT_EQ("3", CCatalogFolders::Status(2, "77"));
}

TEST_F(RoadTest, DeleteFollowsTheAnswerAndTheItemsState)
{
    // What keeps the list from being saved.
    enum ListBlock { kFree, kReadOnly, kTemporaryNameIsAFolder, kHeldAgainstDeletes };
    const struct {
        int kind;
        int state;
        UINT answer;
        bool locked;
        ListBlock block;
        bool removed;
        const char* note;
    } cases[] = {
        {1, 0, IDNO, false, kFree, false, "no"},
        {1, 0, IDC_MSGBOX_CLOSE, false, kFree, false, "closed"},
        {1, 0, IDYES, false, kFree, true, "unfinished theme"},
        {2, 1, IDYES, false, kFree, true, "finished wallpaper"},
        {1, 1, IDYES, false, kFree, true, "finished theme"},
        // What cannot be deleted keeps its entry, to be deleted again.
        {1, 1, IDYES, true, kFree, false, "package held open"},
        {2, 0, IDYES, true, kFree, false, "part file held open"},
        // After a failed installation: the package and what was unpacked.
        {1, 2, IDYES, false, kFree, true, "theme not installed"},
        {2, 2, IDYES, false, kFree, true, "wallpaper not installed"},
        {2, 2, IDYES, true, kFree, false, "package of a wallpaper not installed held open"},
        // The entry cannot be removed: the item keeps its files, and the
        // user is told.
        {2, 1, IDYES, false, kReadOnly, false, "finished wallpaper, list read-only"},
        {1, 0, IDYES, false, kReadOnly, false, "unfinished theme, list read-only"},
        {1, 2, IDYES, false, kReadOnly, false, "theme not installed, list read-only"},
        {2, 1, IDYES, false, kTemporaryNameIsAFolder, false, "finished wallpaper, list.new a folder"},
        {1, 1, IDYES, false, kTemporaryNameIsAFolder, false, "finished theme, list.new a folder"},
        {1, 0, IDYES, false, kTemporaryNameIsAFolder, false, "unfinished theme, list.new a folder"},
        {2, 1, IDYES, false, kHeldAgainstDeletes, false, "finished wallpaper, list held against deletes"},
    };
    for (const auto& c : cases) {
        CCatalogFolders fresh;
        CCatalogFolders::WriteList(c.kind, {{"61", "1"}, {"62", "2"}});
        const CString list = DataListPath(c.kind);
        if (c.block == kReadOnly)
            SetFileAttributesW(list, FILE_ATTRIBUTE_READONLY);
        if (c.block == kTemporaryNameIsAFolder)
            CreateDirectoryW(list + L".new", nullptr);
        // A reader that lets others write the list, not replace it.
        HANDLE heldList = c.block == kHeldAgainstDeletes
                              ? CreateFileW(list, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr)
                              : INVALID_HANDLE_VALUE;
        const CString package = fresh.Down(L"Ravonyx\\download\\61.zip");
        WriteFileBytes(package, "zip");
        for (const wchar_t* part : {L"_0", L"_1", L"_3"})
            WriteFileBytes(package + part, "part");
        const CString unpacked = fresh.Down(L"Ravonyx\\desktop\\61\\a.jpg");
        MakeFolderFor(unpacked);
        WriteFileBytes(unpacked, "jpg");
        const CString unpackedTheme = fresh.Down(L"Ravonyx\\theme\\61\\a.theme");
        MakeFolderFor(unpackedTheme);
        WriteFileBytes(unpackedTheme, "theme");
        const CString heldFile = c.state == 0 ? package + L"_0" : package;
        HANDLE held = c.locked ? CreateFileW(heldFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                               : INVALID_HANDLE_VALUE;

        const bool told = c.locked || c.block != kFree;
        std::deque<UINT> answers = {c.answer};
        if (told)
            answers.push_back(IDOK);
        CBoxAnswers boxes(answers);
        EXPECT_EQ(c.removed, IsTrue(CallPage(L"Ex_DelTask", {61, c.state, c.kind}))) << c.note;
        for (HANDLE handle : {held, heldList}) {
            if (handle != INVALID_HANDLE_VALUE)
                CloseHandle(handle);
        }
        SetFileAttributesW(list, FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryW(list + L".new");
        EXPECT_TRUE(boxes.AllUsed()) << c.note;
        EXPECT_EQ(told ? 2u : 1u, boxes.shown.size()) << c.note;
        if (told && boxes.shown.size() == 2) {
            EXPECT_EQ(L"文件无法删除，请检查您的权限！", boxes.shown[1].text) << c.note;
            EXPECT_EQ(L"错误信息", boxes.shown[1].caption) << c.note;
        }

        const std::vector<ListEntry> entries = CCatalogFolders::Entries(c.kind);
        EXPECT_EQ(c.removed ? 1u : 2u, entries.size()) << c.note;
        EXPECT_EQ("62", entries.back().id) << c.note;
        const bool packageGone = c.removed && c.state != 0;
        const bool partsGone =
            c.state != 1 && c.answer == IDYES && c.block == kFree && !(c.locked && c.state == 0);
        EXPECT_EQ(!packageGone, FileExists(package)) << c.note;
        EXPECT_EQ(!partsGone, FileExists(package + L"_0")) << c.note;
        EXPECT_EQ(!partsGone, FileExists(package + L"_1")) << c.note;
        EXPECT_TRUE(FileExists(package + L"_3")) << c.note; // after the first gap
        EXPECT_EQ(!(packageGone && c.kind == 2), FileExists(unpacked)) << c.note;
        // A finished theme's folder goes as a wallpaper's does.
        EXPECT_EQ(!(packageGone && c.kind == 1), FileExists(unpackedTheme)) << c.note;
    }
}

TEST_F(RoadTest, ADeleteAnsweredNoStillStopsTheDownload)
{
    server.PutFile("/dl/63.zip", TestBytes(1500000, 4));
    server.AddRoute("{\"path\": \"/dl/63.zip\", \"rate\": 40000}");
    CCatalogFolders::WriteList(1, {{"63", "3"}});
    const CComVariant started = CallPage(L"Ex_StartDownLoad", {63, 1});
    EXPECT_EQ(1, started.intVal);
    ASSERT_TRUE(PumpUntil([&] { return !window.active.empty(); }, 60000));

    CBoxAnswers boxes({IDNO});
    EXPECT_FALSE(IsTrue(CallPage(L"Ex_DelTask", {63, 0, 1})));
    ASSERT_TRUE(PumpUntil([&] { return !window.stopped.empty(); }, 60000));
    EXPECT_EQ(std::vector<CString>{L"63"}, window.stopped);
    EXPECT_EQ("3", CCatalogFolders::Status(1, "63"));
}

TEST_F(RoadTest, AStartThatCannotBeRecordedDownloadsNothing)
{
    server.PutFile("/dl/64.zip", TestBytes(1000, 5));
    CCatalogFolders::WriteList(1, {{"64", "3"}});
    SetFileAttributesW(DataListPath(1), FILE_ATTRIBUTE_READONLY);
    const CComVariant started = CallPage(L"Ex_StartDownLoad", {64, 1});
    SetFileAttributesW(DataListPath(1), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(VT_INT, started.vt);
    EXPECT_EQ(kListNotWritten, started.intVal);
    EXPECT_EQ("3", CCatalogFolders::Status(1, "64"));
    // Nothing was queued: a start once the list is writable again is the
    // one that starts the download.
    EXPECT_EQ(1, CallPage(L"Ex_StartDownLoad", {64, 1}).intVal);
    ASSERT_TRUE(WaitForStatus(1, "64", "2"));
}

TEST_F(RoadTest, TheStartUpPassFollowsAutoDown)
{
    const struct {
        const wchar_t* autoDown;
        std::deque<UINT> answers;
        std::string unfinished; // the status left for entries not finished
        size_t questions;
    } cases[] = {
        {L"0", {}, "3", 0},
        {L"1", {IDNO, IDNO}, "3", 2},
        {L"1", {IDYES}, "1", 1},
    };
    for (const auto& c : cases) {
        CCatalogFolders fresh;
        server.Reset();
        // The entry without a status does not end the walk.
        CCatalogFolders::WriteList(1, {{"14", "2"}, {"11", "1"}, {"12", ""}, {"13", "1"}, {"15", "3"}});
        CCatalogFolders::WriteList(2, {{"21", "1"}});
        for (const char* id : {"11", "13", "15", "21"})
            server.PutFile((std::string("/dl/") + id + ".zip").c_str(), TestBytes(1000, 5));
        WriteConfigValue(L"DownLoad", L"AutoDown", c.autoDown, _Module.m_strAppDir + L"Config\\common.ini");

        CBoxAnswers boxes(c.answers);
        EXPECT_EQ(1, AutoDownloadPending());
        ASSERT_EQ(c.questions, boxes.shown.size());
        for (const auto& shown : boxes.shown) {
            EXPECT_EQ(L"您已经设置为开机自动下载，确定现在开始全部下载吗？", shown.text);
            EXPECT_EQ(L"下载提示", shown.caption);
        }
        for (const char* id : {"11", "13"})
            EXPECT_EQ(c.unfinished, CCatalogFolders::Status(1, id)) << id;
        EXPECT_EQ(c.unfinished, CCatalogFolders::Status(2, "21"));
        EXPECT_EQ(c.unfinished == "1" ? "1" : "3", CCatalogFolders::Status(1, "15"));
        EXPECT_EQ("2", CCatalogFolders::Status(1, "14"));
        EXPECT_EQ("", CCatalogFolders::Status(1, "12"));
        if (c.unfinished == "1") {
            for (const char* id : {"11", "13", "15"})
                ASSERT_TRUE(WaitForStatus(1, id, "2")) << id;
            ASSERT_TRUE(WaitForStatus(2, "21", "2"));
        } else {
            EXPECT_TRUE(server.Requests().empty());
        }
    }
}

} // namespace
