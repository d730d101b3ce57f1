// The update check in process against the test server: its message boxes
// in both modes, the question and the AutoUpdate setting, the updater's
// self-update with the real Dunmere.dll and Extract.dll, and the updater's
// start, seen through a recording stand-in for Uplark.exe in a temporary
// program folder; two checks at once, and the main window's end while the
// swap waits.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/common/ConfigCodec.h"
#include "app/common/FileVersion.h"
#include "app/common/Md5Checksum.h"
#include "app/common/UpdateJournal.h"
#include "app/mainwnd/MainDlg.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/RunApplication.h"
#include "app/update/ProgramQuitting.h"
#include "app/update/UpdateCheck.h"
#include "app/update/UpdaterStart.h"
#include "skin/CorvaneMsgBox.h"
#include "skin/SkWinManager.h"
#include "tests/app/common/ZipFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

namespace {

const char kVersionPath[] = "/version/RODiruder.html";
const char kPackagePath[] = "/update/Uplark.zip";
const wchar_t kOwnVersion[] = L"1.0.0.1";
const wchar_t kNewMain[] = L"1.0.0.9";
const char kMainMd5[] = "00112233445566778899aabbccddeeff";
// The stand-ins' versions (CMakeLists.txt).
const wchar_t kOldUpdater[] = L"1.0.0.1";
const wchar_t kNewUpdater[] = L"1.0.0.2";

const wchar_t kUpToDate[] = L"您的版本已是最新，感谢您保持主动升级的良好习惯！";
const wchar_t kQuestion[] = L"发现有新版本，是否自动升级！";
const wchar_t kStarted[] = L"发现有新版本,自动升级已经启动！";
const wchar_t kBadFile[] = L"版本信息错误，请检查您的网络！";
const wchar_t kNoServer[] = L"无法连接服务器，请检查您的网络！";

void StartSkinOnce()
{
    static const bool started = [] {
        StartSkinLibrary();
        return true;
    }();
    (void)started;
}

CString BinFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString folder(path);
    return folder.Left(folder.ReverseFind(L'\\') + 1);
}

std::string StandIn(const wchar_t* kind)
{
    return ReadFileBytes(BinFolder() + L"updater_stand_in_" + kind + L".exe");
}

CString ProductVersion(const CString& path)
{
    CString version;
    GetFileProductVersion(path, version);
    return version;
}

std::string Utf8(const CString& text)
{
    return text.ToUtf8();
}

// A message box as the check showed it.
struct ShownBox {
    CString text;
    CString caption;
    UINT type;
};

// Records every skinned message box this thread shows while it lives and
// closes each with the next answer (the close button once they run out).
// A timer looks for the box from inside its modal loop.
class CBoxRecorder {
public:
    explicit CBoxRecorder(std::vector<UINT> answers = {}) : m_answers(std::move(answers))
    {
        static const ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &CBoxRecorder::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"UpdateTestBoxRecorder";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        m_window = CreateWindowExW(0, L"UpdateTestBoxRecorder", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetTimer(m_window, 1, 20, nullptr);
    }
    CBoxRecorder(const CBoxRecorder&) = delete;
    CBoxRecorder& operator=(const CBoxRecorder&) = delete;
    ~CBoxRecorder() { DestroyWindow(m_window); }

    const std::vector<ShownBox>& Boxes() const { return m_boxes; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CBoxRecorder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_TIMER && self)
            self->LookForBox();
        return msg == WM_TIMER ? 0 : DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    void LookForBox()
    {
        SkWinManager* manager = SkWinManager::Instance();
        HWND active = manager ? manager->GetActiveDialog() : nullptr;
        auto* box = dynamic_cast<CCorvaneMsgBox*>(CWindowImpl::FromHandle(active));
        if (!box || active == m_answered)
            return;
        m_answered = active;
        m_boxes.push_back({box->m_text, box->m_caption, box->m_type});
        const size_t index = m_boxes.size() - 1;
        const UINT id = index < m_answers.size() ? m_answers[index] : IDC_MSGBOX_CLOSE;
        CSkWindow* item = box->m_view.FindItem(id);
        if (!item) {
            ADD_FAILURE() << "the box has no item " << id;
            box->EndDialog(IDC_MSGBOX_CLOSE);
            return;
        }
        const LPARAM at = MAKELPARAM((item->m_rect.left + item->m_rect.right) / 2,
                                     (item->m_rect.top + item->m_rect.bottom) / 2);
        HWND view = box->m_view.m_hWnd;
        SendMessageW(view, WM_MOUSEMOVE, 0, at);
        SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(view, WM_LBUTTONUP, 0, at);
    }

    std::vector<UINT> m_answers;
    std::vector<ShownBox> m_boxes;
    HWND m_window = nullptr;
    HWND m_answered = nullptr;
};

std::string VersionFileText(const CString& mainVersion, const CString& dllVersion, const std::string& mainMd5,
                            const std::string& dllMd5)
{
    return "success | main_version=" + Utf8(mainVersion) + " | dll_version=" + Utf8(dllVersion) +
           " | main_md5=" + mainMd5 + " | dll_md5=" + dllMd5;
}

} // namespace

// A program folder with the old updater stand-in as Uplark.exe and a
// settings file, the module pointed at it, and the test server as both the
// content and the download site.
class UpdateCheckTest : public testing::Test {
protected:
    void SetUp() override
    {
        StartSkinOnce();
        CTestServer::Instance().Reset();
        m_savedAppDir = _Module.m_strAppDir;
        _Module.m_strAppDir = m_folder.Path();
        _Module.m_strVersion = kOwnVersion;
        _Module.m_bNewVersion = 0;
        _Module.m_bUpdateRunning = 0;
        _Module.m_strMainMd5 = L"";
        _Module.m_strDllMd5 = L"";
        ResetProgramQuitting();
        WriteFileBytes(Updater(), StandIn(L"old"));
        SetAutoUpdate(L"0");
        m_servers.contentSite = CTestServer::Instance().Url("/");
        m_servers.downloadSite = m_servers.contentSite;
    }
    void TearDown() override
    {
        _Module.m_strAppDir = m_savedAppDir;
        EXPECT_EQ(_Module.m_bUpdateRunning, 0) << "a check left the flag set";
    }

    CString Updater() const { return m_folder / L"Uplark.exe"; }
    CString Ini() const { return m_folder / L"Config\\common.ini"; }
    void SetAutoUpdate(const wchar_t* value)
    {
        MakeFolderFor(Ini());
        ASSERT_NE(WriteConfigValue(L"Update", L"AutoUpdate", value, Ini()), 0);
    }
    CString AutoUpdate() const
    {
        CString value = L"<absent>";
        ReadConfigValue(L"Update", L"AutoUpdate", Ini(), L"<absent>", MAX_PATH, value);
        return value;
    }

    void ServeVersionFile(const std::string& text) { CTestServer::Instance().PutFile(kVersionPath, text); }
    // Versions listed equal to what the folder has unless given.
    void ServeVersions(const CString& mainVersion, const CString& dllVersion = kOldUpdater,
                       const std::string& dllMd5 = "ffeeddccbbaa99887766554433221100")
    {
        ServeVersionFile(VersionFileText(mainVersion, dllVersion, kMainMd5, dllMd5));
    }
    // Serves an updater package with these entries; its MD5.
    std::string ServePackage(const std::vector<std::pair<std::string, std::string>>& entries)
    {
        const CString zip = m_scratch / L"Uplark.zip";
        WriteZip(zip, entries);
        CTestServer::Instance().PutFile(kPackagePath, ReadFileBytes(zip));
        return Utf8(ComputeFileMd5(zip));
    }
    std::string ServeNewUpdater() { return ServePackage({{"Uplark.exe", StandIn(L"new")}}); }

    // Runs a check on this thread, answering its boxes; the boxes shown.
    std::vector<ShownBox> Check(int mode, std::vector<UINT> answers = {})
    {
        CBoxRecorder recorder(std::move(answers));
        CheckForUpdate(mode, m_servers);
        return recorder.Boxes();
    }

    // The stand-ins' lines "version|parameters", once count of them are
    // there (at most timeoutMs later).
    std::vector<std::string> Starts(size_t count = 1, DWORD timeoutMs = 15000) const
    {
        const CString log = m_folder / L"started.txt";
        const ULONGLONG end = GetTickCount64() + timeoutMs;
        std::vector<std::string> lines;
        for (;;) {
            lines.clear();
            if (FileExists(log)) {
                const std::string text = ReadFileBytes(log);
                for (size_t at = 0, next; (next = text.find('\n', at)) != std::string::npos; at = next + 1)
                    lines.push_back(text.substr(at, next - at));
            }
            if (lines.size() >= count || GetTickCount64() >= end)
                return lines;
            Sleep(20);
        }
    }
    // Nothing shows up for a while: a start comes within this time when
    // there is one.
    std::vector<std::string> NoStarts() const { return Starts(1, 1500); }

    std::string ExpectedStart(const wchar_t* updaterVersion) const
    {
        return Utf8(updaterVersion) + "|TAG=Zenro_Run_Update|MD5=" + kMainMd5;
    }
    size_t PackageRequests() const { return CTestServer::Instance().Requests(kPackagePath).size(); }
    // Every download asks for the start of the file twice: the length probe
    // and the first part.
    size_t PackageDownloads() const
    {
        size_t probes = 0;
        for (const std::string& request : CTestServer::Instance().Requests(kPackagePath))
            probes += request.find("\r\nRange: bytes=0-\r\n") != std::string::npos;
        return probes / 2;
    }

    CTempFolder m_folder;
    CTempFolder m_scratch;
    CString m_savedAppDir;
    UpdateServers m_servers;
};

TEST_F(UpdateCheckTest, EqualVersionsFindNothing)
{
    ServeVersions(kOwnVersion);
    EXPECT_TRUE(Check(kUpdateCheckSilent).empty());

    const std::vector<ShownBox> boxes = Check(kUpdateCheckManual, {IDOK});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CString(kUpToDate));
    EXPECT_EQ(boxes[0].caption, CString(L"升级提示"));
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));

    EXPECT_EQ(CTestServer::Instance().Requests(kVersionPath).size(), 2u);
    EXPECT_EQ(PackageRequests(), 0u);
    EXPECT_TRUE(NoStarts().empty());
    EXPECT_EQ(_Module.m_bNewVersion, 0);
}

TEST_F(UpdateCheckTest, TheRequestForTheVersionFile)
{
    ServeVersions(kOwnVersion);
    Check(kUpdateCheckSilent);
    const std::vector<std::string> requests = CTestServer::Instance().Requests(kVersionPath);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].rfind("GET /version/RODiruder.html HTTP/1.1\r\n", 0), 0u) << requests[0];
}

TEST_F(UpdateCheckTest, ANewMainVersionIsAskedAboutInBothModes)
{
    struct Case {
        int mode;
        UINT answer;
    };
    for (const Case c : {Case{kUpdateCheckSilent, IDYES}, Case{kUpdateCheckManual, IDYES},
                         Case{kUpdateCheckSilent, IDNO}, Case{kUpdateCheckManual, IDNO}}) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", answer " << c.answer);
        DeleteFileW(m_folder / L"started.txt");
        SetAutoUpdate(L"0");
        _Module.m_bNewVersion = 0;
        ServeVersions(kNewMain);

        const std::vector<ShownBox> boxes = Check(c.mode, {c.answer});
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, CString(kQuestion));
        EXPECT_EQ(boxes[0].caption, CString(L"升级提示"));
        EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO));
        if (c.answer == IDYES) {
            EXPECT_EQ(AutoUpdate(), CString(L"1"));
            EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kOldUpdater)});
            EXPECT_EQ(_Module.m_strMainMd5, CString::FromUtf8(kMainMd5));
        } else {
            EXPECT_EQ(AutoUpdate(), CString(L"0"));
            EXPECT_TRUE(NoStarts().empty());
            EXPECT_EQ(_Module.m_bNewVersion, 0);
        }
    }
    EXPECT_EQ(PackageRequests(), 0u) << "the updater was current";
}

TEST_F(UpdateCheckTest, AutomaticUpdateStartsTheUpdaterWithoutAsking)
{
    SetAutoUpdate(L"1");
    ServeVersions(kNewMain);
    EXPECT_TRUE(Check(kUpdateCheckSilent).empty());
    EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kOldUpdater)});

    DeleteFileW(m_folder / L"started.txt");
    const std::vector<ShownBox> boxes = Check(kUpdateCheckManual, {IDOK});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CString(kStarted));
    EXPECT_EQ(boxes[0].caption, CString(L"升级提示"));
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kOldUpdater)});
    EXPECT_EQ(AutoUpdate(), CString(L"1"));
}

TEST_F(UpdateCheckTest, BrokenRepliesAndNoServerEndTheCheckQuietlyOrWithTheirMessage)
{
    struct Case {
        const char* name;
        const char* reply; // null: no server
        const wchar_t* message;
    };
    const Case cases[] = {
        {"fail", "fail", kBadFile},
        {"empty reply", "", kBadFile},
        {"success alone", "success", kBadFile},
        {"too few fields", "success | main_version=1.0.0.9 | dll_version=1.0.0.2", kBadFile},
        {"field without =",
         "success | main_version=1.0.0.9 | dll_version | main_md5=00112233445566778899aabbccddeeff | "
         "dll_md5=ab",
         kBadFile},
        {"no server", nullptr, kNoServer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_servers.contentSite = c.reply ? CTestServer::Instance().Url("/") : [] {
            CString site;
            site.Format(L"http://127.0.0.1:%d/", UnusedPort());
            return site;
        }();
        if (c.reply)
            ServeVersionFile(c.reply);
        EXPECT_TRUE(Check(kUpdateCheckSilent).empty());
        const std::vector<ShownBox> boxes = Check(kUpdateCheckManual, {IDOK});
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, CString(c.message));
        EXPECT_EQ(boxes[0].caption, CString(L"错误信息"));
        EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
        EXPECT_EQ(_Module.m_bNewVersion, 0);
    }
    EXPECT_EQ(PackageRequests(), 0u);
    EXPECT_TRUE(NoStarts().empty());
}

TEST_F(UpdateCheckTest, FieldsUnderOtherNamesCountForNothing)
{
    ServePackage({{"Uplark.exe", StandIn(L"new")}});
    ServeVersionFile(
        "success | Main_version=1.0.0.9 | dll_Version=1.0.0.2 | main_md5=00112233445566778899aabbcc"
        "ddeeff | dllmd5=ffeeddccbbaa99887766554433221100");
    const std::vector<ShownBox> boxes = Check(kUpdateCheckManual, {IDOK});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CString(kUpToDate));
    EXPECT_EQ(PackageRequests(), 0u);
    EXPECT_TRUE(NoStarts().empty());
}

TEST_F(UpdateCheckTest, TheUpdaterIsReplacedBeforeItIsStarted)
{
    SetAutoUpdate(L"1");
    const std::string md5 = ServeNewUpdater();
    ServeVersions(kNewMain, kNewUpdater, md5);
    EXPECT_TRUE(Check(kUpdateCheckSilent).empty());

    EXPECT_EQ(ProductVersion(Updater()), CString(kNewUpdater));
    EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kNewUpdater)});
    EXPECT_EQ(_Module.m_strDllMd5, CString::FromUtf8(md5.c_str()));
    EXPECT_EQ(PackageDownloads(), 1u);
    const std::vector<std::string> requests = CTestServer::Instance().Requests(kPackagePath);
    ASSERT_FALSE(requests.empty());
    const std::string line = "GET " + Utf8(m_servers.downloadSite) + "update/Uplark.zip HTTP/1.1\r\n";
    EXPECT_EQ(requests[0].rfind(line, 0), 0u) << requests[0];
    // The package and what was unpacked are gone.
    EXPECT_FALSE(FileExists(m_folder / L"Temp\\Uplark.zip"));
    EXPECT_FALSE(FileExists(m_folder / L"Temp\\UplarkUpdate"));
    EXPECT_FALSE(FileExists(m_folder / L"Temp\\Uplark.exe.old"));

    // The next check finds the updater current and fetches nothing.
    DeleteFileW(m_folder / L"started.txt");
    Check(kUpdateCheckSilent);
    EXPECT_EQ(PackageDownloads(), 1u);
    EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kNewUpdater)});
}

TEST_F(UpdateCheckTest, APackageThatNeverMatchesIsTriedTenTimesThenTheOldUpdaterIsStarted)
{
    SetAutoUpdate(L"1");
    const std::string md5 = ServeNewUpdater();
    std::string upper = md5;
    for (char& ch : upper)
        ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    for (const std::string& listed : {std::string("0123456789abcdef0123456789abcdef"), upper}) {
        SCOPED_TRACE(listed);
        CTestServer::Instance().Reset();
        DeleteFileW(m_folder / L"started.txt");
        ServeVersions(kNewMain, kNewUpdater, listed);
        EXPECT_TRUE(Check(kUpdateCheckSilent).empty());
        EXPECT_EQ(PackageDownloads(), 10u);
        EXPECT_FALSE(FileExists(m_folder / L"Temp\\Uplark.zip"));
        EXPECT_EQ(ProductVersion(Updater()), CString(kOldUpdater));
        EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kOldUpdater)});
    }
}

TEST_F(UpdateCheckTest, OnlyTheUpdaterOfThisPackageIsInstalled)
{
    // What an earlier run left in the work folder must not pass for the
    // package's updater, and a package without one leaves the old in place.
    SetAutoUpdate(L"1");
    MakeFolderFor(m_folder / L"Temp\\UplarkUpdate\\Uplark.exe");
    WriteFileBytes(m_folder / L"Temp\\UplarkUpdate\\Uplark.exe", StandIn(L"new"));
    WriteFileBytes(m_folder / L"Temp\\UplarkUpdate\\left.txt", "left");
    const std::string md5 = ServePackage({{"readme.txt", "no updater in here"}});
    ServeVersions(kNewMain, kNewUpdater, md5);
    EXPECT_TRUE(Check(kUpdateCheckSilent).empty());

    EXPECT_EQ(ProductVersion(Updater()), CString(kOldUpdater));
    EXPECT_EQ(PackageDownloads(), 1u);
    EXPECT_FALSE(FileExists(m_folder / L"Temp\\UplarkUpdate"));
    EXPECT_FALSE(FileExists(m_folder / L"Temp\\Uplark.zip"));
    EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kOldUpdater)});
}

TEST_F(UpdateCheckTest, AMissingUpdaterIsFetched)
{
    SetAutoUpdate(L"1");
    DeleteFileW(Updater());
    const std::string md5 = ServeNewUpdater();
    ServeVersions(kOwnVersion, kNewUpdater, md5);
    Check(kUpdateCheckSilent);
    EXPECT_EQ(ProductVersion(Updater()), CString(kNewUpdater));
    EXPECT_TRUE(NoStarts().empty()) << "no new main version";
}

TEST_F(UpdateCheckTest, OfTwoChecksAtOnceOnlyOneUpdatesAndStartsTheUpdater)
{
    SetAutoUpdate(L"1");
    const std::string md5 = ServeNewUpdater();
    ServeVersions(kNewMain, kNewUpdater, md5);
    // The first check's download waits at the server until the second
    // check is over.
    CTestServer::Instance().AddRoute(R"({"path": "/update/Uplark.zip", "stall": 4, "times": 1})");
    std::thread first([this] { CheckForUpdate(kUpdateCheckSilent, m_servers); });
    ASSERT_TRUE(CTestServer::Instance().WaitForRequests(1, kPackagePath));
    EXPECT_EQ(_Module.m_bUpdateRunning, 1);

    const std::vector<ShownBox> boxes = Check(kUpdateCheckManual, {IDOK});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CString(kStarted));
    EXPECT_EQ(_Module.m_bUpdateRunning, 1) << "the second check must leave the first one's flag";
    EXPECT_EQ(PackageRequests(), 1u) << "the second check fetched the package too";
    first.join();

    EXPECT_EQ(_Module.m_bUpdateRunning, 0);
    EXPECT_EQ(PackageDownloads(), 1u);
    EXPECT_EQ(ProductVersion(Updater()), CString(kNewUpdater));
    const std::vector<std::string> starts = Starts(2, 1500);
    EXPECT_EQ(starts, std::vector<std::string>{ExpectedStart(kNewUpdater)});
}

TEST_F(UpdateCheckTest, TheSwapWaitsForTheUpdaterToBeFree)
{
    SetAutoUpdate(L"1");
    const std::string md5 = ServeNewUpdater();
    ServeVersions(kOwnVersion, kNewUpdater, md5);
    // A running updater holds its file so.
    auto held = std::make_unique<CFileHandle>(
        CreateFileW(Updater(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held->IsValid());
    std::thread check([this] { CheckForUpdate(kUpdateCheckSilent, m_servers); });
    const CString unpacked = m_folder / L"Temp\\UplarkUpdate\\Uplark.exe";
    for (int i = 0; i < 3000 && !FileExists(unpacked); ++i)
        Sleep(10);
    ASSERT_TRUE(FileExists(unpacked));
    EXPECT_EQ(_Module.m_bUpdateRunning, 1);
    EXPECT_EQ(ProductVersion(Updater()), CString(kOldUpdater));

    held.reset();
    const ULONGLONG released = GetTickCount64();
    check.join();
    EXPECT_LT(GetTickCount64() - released, 15000u) << "the wait looks again every 10 s";
    EXPECT_EQ(ProductVersion(Updater()), CString(kNewUpdater));
    EXPECT_EQ(_Module.m_bUpdateRunning, 0);
}

TEST_F(UpdateCheckTest, TheMainWindowsEndStopsTheWaitForTheUpdater)
{
    SetAutoUpdate(L"1");
    const std::string md5 = ServeNewUpdater();
    ServeVersions(kOwnVersion, kNewUpdater, md5);
    auto window = std::make_unique<CCorvaneMainDlg>();
    ASSERT_NE(window->Create(nullptr), nullptr);

    CFileHandle held(
        CreateFileW(Updater(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.IsValid());
    std::thread check([this] { CheckForUpdate(kUpdateCheckSilent, m_servers); });
    const CString unpacked = m_folder / L"Temp\\UplarkUpdate\\Uplark.exe";
    for (int i = 0; i < 3000 && !FileExists(unpacked); ++i)
        Sleep(10);
    ASSERT_TRUE(FileExists(unpacked));
    ASSERT_EQ(_Module.m_bUpdateRunning, 1);

    // The window's end waits for the check, which gives up at once.
    const ULONGLONG start = GetTickCount64();
    DestroyWindow(window->m_hWnd);
    const ULONGLONG took = GetTickCount64() - start;
    EXPECT_LT(took, 5000u);
    check.join();
    EXPECT_EQ(_Module.m_bUpdateRunning, 0);
    EXPECT_EQ(ProductVersion(Updater()), CString(kOldUpdater)) << "the old updater stays";
    EXPECT_FALSE(FileExists(m_folder / L"Temp\\UplarkUpdate"));
    EXPECT_FALSE(FileExists(m_folder / L"Temp\\Uplark.zip"));
    window.reset();
}

TEST_F(UpdateCheckTest, AVersionFileEndingWithALineBreakStillMatchesTheUpdaterPackage)
{
    SetAutoUpdate(L"1");
    const std::string md5 = ServeNewUpdater();
    ServeVersionFile(VersionFileText(kNewMain, kNewUpdater, kMainMd5, md5) + "\r\n");
    EXPECT_TRUE(Check(kUpdateCheckSilent).empty());
    EXPECT_EQ(PackageDownloads(), 1u);
    EXPECT_EQ(ProductVersion(Updater()), CString(kNewUpdater));
    EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kNewUpdater)});
}

TEST_F(UpdateCheckTest, EachCheckDecidesByItsOwnFindingAndAnswer)
{
    // The first check finds a new version and its user agrees.
    ServeVersions(kNewMain);
    std::vector<ShownBox> boxes = Check(kUpdateCheckSilent, {IDYES});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CString(kQuestion));
    EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kOldUpdater)});

    // A later check whose version file lists the program's own version has
    // nothing to update, whatever the first one found.
    DeleteFileW(m_folder / L"started.txt");
    ServeVersions(kOwnVersion);
    boxes = Check(kUpdateCheckManual, {IDOK});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CString(kUpToDate));
    EXPECT_TRUE(NoStarts().empty());
}

TEST_F(UpdateCheckTest, AnUpdaterPackageWithoutAWorkingUpdaterLeavesTheOldOne)
{
    SetAutoUpdate(L"1");
    const std::string updater = StandIn(L"new");
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> entries;
    } rows[] = {
        {"a web page", {{"Uplark.exe", "<html><body>502 Bad Gateway</body></html>"}}},
        {"an empty file", {{"Uplark.exe", ""}}},
        {"a cut-off program", {{"Uplark.exe", updater.substr(0, updater.size() / 2)}}},
        {"a folder", {{"Uplark.exe/index.html", "<html></html>"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CTestServer::Instance().Reset();
        DeleteFileW(m_folder / L"started.txt");
        const std::string md5 = ServePackage(row.entries);
        ServeVersions(kNewMain, kNewUpdater, md5);
        EXPECT_TRUE(Check(kUpdateCheckSilent).empty());
        EXPECT_EQ(ReadFileBytes(Updater()), StandIn(L"old"));
        // The listed package itself holds no updater: it is not fetched again.
        EXPECT_EQ(PackageDownloads(), 1u);
        EXPECT_FALSE(FileExists(m_folder / L"Temp\\UplarkUpdate"));
        EXPECT_FALSE(FileExists(m_folder / L"Temp\\Uplark.zip"));
        EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kOldUpdater)});
    }
}

TEST_F(UpdateCheckTest, TheUpdaterIsSwappedInOneStep)
{
    // What an earlier swap left aside, held by another program: the old
    // updater cannot go there, and need not.
    SetAutoUpdate(L"1");
    MakeFolderFor(m_folder / L"Temp\\Uplark.exe.old");
    WriteFileBytes(m_folder / L"Temp\\Uplark.exe.old", "left aside");
    CFileHandle held(CreateFileW(m_folder / L"Temp\\Uplark.exe.old", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.IsValid());
    const std::string md5 = ServeNewUpdater();
    ServeVersions(kOwnVersion, kNewUpdater, md5);
    Check(kUpdateCheckSilent);
    EXPECT_EQ(ProductVersion(Updater()), CString(kNewUpdater));
    EXPECT_FALSE(FileExists(m_folder / L"Temp\\UplarkUpdate"));
}

TEST_F(UpdateCheckTest, TheProgramsStartPutsTheUpdaterBackAndHandsOverAnUnfinishedUpdate)
{
    // A swap that was cut short left the old updater aside and none in place.
    MakeFolderFor(m_folder / L"Temp\\Uplark.exe.old");
    ASSERT_TRUE(MoveFileW(Updater(), m_folder / L"Temp\\Uplark.exe.old"));
    EXPECT_FALSE(ResumeUpdateAtStart(m_folder.Path()).IsValid()) << "nothing was noted";
    EXPECT_EQ(ReadFileBytes(Updater()), StandIn(L"old"));
    EXPECT_FALSE(FileExists(m_folder / L"Temp\\Uplark.exe.old"));
    EXPECT_TRUE(NoStarts().empty());

    // The updater noted an update it began: the start hands it over with
    // that package's order, as the update check starts the updater.
    UpdateJournal journal;
    journal.digest = CString::FromUtf8(kMainMd5);
    journal.programFiles = {L"Ravonyx.exe", L"Dunmere.dll"};
    ASSERT_TRUE(WriteUpdateJournal(m_folder / L"Temp\\", journal));
    CHandle started = ResumeUpdateAtStart(m_folder.Path());
    ASSERT_TRUE(started.IsValid());
    EXPECT_EQ(WaitForSingleObject(started, 15000), WAIT_OBJECT_0);
    EXPECT_EQ(Starts(), std::vector<std::string>{ExpectedStart(kOldUpdater)});
}
