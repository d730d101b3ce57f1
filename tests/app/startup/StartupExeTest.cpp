// Ravonyx.exe from outside: a second start hands its request to the window
// named in the single-instance block and ends with 0; a missing required
// file or an unusable download root ends start-up with a message box; the
// installer's merge file, the download folders and the Run value.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <thread>

#include "app/startup/SingleInstance.h"
#include "tests/app/startup/RavonyxProcess.h"
#include "tests/app/startup/RegistryHelpers.h"

namespace {

constexpr UINT kDownloadItem = 0x8109;
constexpr DWORD kExitTimeoutMs = 30000;

// A window of the test's that stands for the running instance's main
// window and records the requests it gets.
class CStandInWindow {
public:
    CStandInWindow()
    {
        static const ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &CStandInWindow::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"RavonyxStandInMain";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        m_hwnd = CreateWindowExW(0, L"RavonyxStandInMain", L"stand-in", WS_POPUP, 10, 10, 200, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CStandInWindow() { DestroyWindow(m_hwnd); }

    HWND Handle() const { return m_hwnd; }
    int requests = 0;
    WPARAM itemId = 0;
    LPARAM itemKind = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CStandInWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == kDownloadItem && self) {
            ++self->requests;
            self->itemId = wParam;
            self->itemKind = lParam;
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    HWND m_hwnd = nullptr;
};

// The block as the running instance holds it.
class CRunningInstanceBlock {
public:
    CRunningInstanceBlock()
    {
        BOOL existed = FALSE;
        EXPECT_EQ(OpenInstanceMapping(m_record, existed), S_OK);
        EXPECT_FALSE(existed) << "another Ravonyx.exe is running";
    }
    void Write(HWND hwnd) { m_record.WriteWindow(hwnd); }

private:
    CInstanceMapping m_record;
};

} // namespace

TEST(SecondInstance, ForwardsItsRequestShowsTheWindowAndEndsWithZero)
{
    struct Case {
        const wchar_t* arguments;
        int requests;
        WPARAM id;
        LPARAM kind;
    };
    const Case cases[] = {
        {L"\\id:7 \\tid:1", 1, 7, 1},   {L"\\id:15 \\tid:2", 1, 15, 2},
        {L"\\id:15", 0, 0, 0}, // no kind: the window comes up, nothing is asked
        {L"-autorun", 0, 0, 0},         {L"", 0, 0, 0},
        {L"x \\id:7 \\tid:1", 0, 0, 0}, // "\id:" only at the start
    };
    CProgramCopy program;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "arguments " << CString(c.arguments).ToUtf8());
        CStandInWindow standIn;
        CRunningInstanceBlock block;
        block.Write(standIn.Handle());
        ASSERT_FALSE(IsWindowVisible(standIn.Handle()));
        CRavonyxRun run(program.Exe(), c.arguments);
        ASSERT_TRUE(run.Started());
        EXPECT_EQ(run.WaitForExit(kExitTimeoutMs), 0u);
        EXPECT_EQ(standIn.requests, c.requests);
        EXPECT_EQ(standIn.itemId, c.id);
        EXPECT_EQ(standIn.itemKind, c.kind);
        EXPECT_TRUE(IsWindowVisible(standIn.Handle())) << "the running window is shown";
        EXPECT_FALSE(run.FindMainWindow()) << "a second main window";
    }
}

TEST(SecondInstance, RestoresAMinimisedWindow)
{
    CProgramCopy program;
    CStandInWindow standIn;
    CRunningInstanceBlock block;
    block.Write(standIn.Handle());
    ShowWindow(standIn.Handle(), SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(standIn.Handle()));
    CRavonyxRun run(program.Exe(), L"\\id:7 \\tid:1");
    EXPECT_EQ(run.WaitForExit(kExitTimeoutMs), 0u);
    EXPECT_FALSE(IsIconic(standIn.Handle()));
    EXPECT_EQ(standIn.requests, 1);
}

// The running instance writes its handle only once its window exists: a
// second start in that moment waits for it.
TEST(SecondInstance, WaitsForTheRunningWindowToAppear)
{
    CProgramCopy program;
    CStandInWindow standIn;
    CRunningInstanceBlock block; // holds no handle yet
    CRavonyxRun run(program.Exe(), L"\\id:9 \\tid:2");
    ASSERT_TRUE(run.Started());
    PumpMessagesFor(800);
    block.Write(standIn.Handle());
    EXPECT_EQ(run.WaitForExit(kExitTimeoutMs), 0u);
    EXPECT_EQ(standIn.requests, 1);
    EXPECT_EQ(standIn.itemId, 9u);
    EXPECT_EQ(standIn.itemKind, 2);
}

TEST(SecondInstance, GivesUpOnAHandleThatIsNoWindowAndEndsWithZero)
{
    CProgramCopy program;
    HWND gone;
    {
        CStandInWindow standIn;
        gone = standIn.Handle();
    }
    ASSERT_FALSE(IsWindow(gone));
    CRunningInstanceBlock block;
    block.Write(gone);
    CRavonyxRun run(program.Exe(), L"\\id:7 \\tid:1");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(run.WaitForExit(kExitTimeoutMs), 0u);
    EXPECT_LT(GetTickCount64() - start, kRunningWindowWaitMs + 10000) << "the wait is bounded";
    EXPECT_FALSE(run.FindMainWindow());
}

TEST(StartUpErrors, EachMissingRequiredFileEndsWithAMessageBoxAndZero)
{
    // Without Dunmere.dll, which the program imports, the loader refuses to
    // start it at all; the in-process tests cover that check.
    const wchar_t* const required[] = {L"Config\\common.ini", L"Local\\list\\menumanage.html",
                                       L"Data\\MyThemes.xml"};
    for (const wchar_t* name : required) {
        SCOPED_TRACE(CString(name).ToUtf8());
        CProgramCopy program;
        ASSERT_TRUE(DeleteFileW(program.Dir() + name));
        CRavonyxRun run(program.Exe(), L"");
        HWND box = run.WaitForOtherWindow(kExitTimeoutMs);
        ASSERT_NE(box, nullptr) << "no message box";
        EXPECT_FALSE(run.FindMainWindow());
        ClickMessageBoxClose(box);
        EXPECT_EQ(run.WaitForExit(kExitTimeoutMs), 0u);
        EXPECT_FALSE(run.FindMainWindow());
    }
}

TEST(StartUpErrors, ADownloadRootThatCannotBeMadeEndsWithAMessageBox)
{
    CProgramCopy program;
    program.SetSetting(L"DownLoad", L"Path", L"Q:\\nowhere\\");
    CRavonyxRun run(program.Exe(), L"");
    HWND box = run.WaitForOtherWindow(kExitTimeoutMs);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(run.FindMainWindow());
    ClickMessageBoxClose(box);
    EXPECT_EQ(run.WaitForExit(kExitTimeoutMs), 0u);
}

TEST(Configuration, FoldersMergeAndRunValueAfterAStart)
{
    CProgramCopy program;
    // The installer left only AutoStart: the configured root stays.
    WriteFileBytes(program.Dir() + L"Config\\common_temp.ini", "[Common]\r\nAutoStart=1\r\n");
    CRavonyxRun run(program.Exe(), L"");
    ASSERT_NE(run.WaitForMainWindow(kExitTimeoutMs), nullptr);
    EXPECT_FALSE(FileExists(program.Dir() + L"Config\\common_temp.ini"));
    EXPECT_EQ(program.Setting(L"DownLoad", L"Path"), program.DownloadRoot());
    EXPECT_EQ(program.Setting(L"Common", L"AutoStart"), L"1");
    for (const wchar_t* folder :
         {L"Ravonyx\\ico", L"Ravonyx\\download", L"Ravonyx\\theme", L"Ravonyx\\desktop"})
        EXPECT_TRUE(PathIsDirectoryW(program.DownloadRoot() + folder)) << CString(folder).ToUtf8();

    const wchar_t runKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    CString value;
    ASSERT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, runKey, L"Ravonyx", value), ERROR_SUCCESS);
    EXPECT_EQ(value, CString(L"\"") + program.Exe() + L"\" -autorun");

    // The first start stamps the installation date.
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString today;
    today.Format(L"%u|%u|%u", now.wYear, now.wMonth, now.wDay);
    EXPECT_EQ(program.Setting(L"Common", L"InstallDate"), today);
    EXPECT_EQ(program.Setting(L"Common", L"CheckHomeDate"), L"1970|11|11");
    EXPECT_EQ(run.CloseMainWindow(), 0u);

    // AutoStart 0 takes the Run value away at the next start.
    program.SetSetting(L"Common", L"AutoStart", L"0");
    CRavonyxRun second(program.Exe(), L"");
    ASSERT_NE(second.WaitForMainWindow(kExitTimeoutMs), nullptr);
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, runKey, L"Ravonyx", value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(second.CloseMainWindow(), 0u);
}

TEST(Configuration, AnInstallerPathIsMergedAndAutorunStartsHidden)
{
    CProgramCopy program;
    const CString root = program.DownloadRoot() + L"chosen\\";
    WriteFileBytes(program.Dir() + L"Config\\common_temp.ini",
                   "[DownLoad]\r\nPath=" + root.ToAnsi() + "\r\n[Common]\r\nAutoStart=0\r\n");
    CRavonyxRun run(program.Exe(), L"-autorun");
    ASSERT_TRUE(run.Started());
    // Hidden in the tray: the window exists but is not shown.
    HWND main = nullptr;
    for (int i = 0; i < 300 && !main; ++i) {
        PumpMessagesFor(50);
        main = run.FindMainWindow();
    }
    ASSERT_NE(main, nullptr);
    PumpMessagesFor(300);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(program.Setting(L"DownLoad", L"Path"), root);
    EXPECT_EQ(program.Setting(L"Common", L"AutoStart"), L"0");
    EXPECT_TRUE(PathIsDirectoryW(root + L"Ravonyx\\desktop"));
    EXPECT_FALSE(FileExists(program.Dir() + L"Config\\common_temp.ini"));
    EXPECT_EQ(run.CloseMainWindow(), 0u);
}

// A start from the Run value stays in the tray until a second start (or
// the tray, or the hot key) shows it.
TEST(SecondInstance, ShowsAProgramThatStartedHidden)
{
    CProgramCopy program;
    CRavonyxRun first(program.Exe(), L"-autorun");
    ASSERT_TRUE(first.Started());
    HWND main = nullptr;
    for (int i = 0; i < 300 && !main; ++i) {
        PumpMessagesFor(50);
        main = first.FindMainWindow();
    }
    ASSERT_NE(main, nullptr);
    PumpMessagesFor(300);
    ASSERT_FALSE(IsWindowVisible(main));
    // A plain second start: a forwarded request would make the first
    // program ask the web site, and the second wait while it tells the user
    // the site is down (the forwarding itself is tested above).
    CRavonyxRun second(program.Exe(), L"");
    EXPECT_EQ(second.WaitForExit(kExitTimeoutMs), 0u);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(first.CloseMainWindow(), 0u);
}
