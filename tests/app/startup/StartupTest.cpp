// Start-up in process: the command line, the elevation decision and the
// relaunch, the single-instance block, the configuration load with the
// installer's merge file, the Run value and the start-up error boxes.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <thread>

#include "RavonyxVersion.h"
#include "app/common/ConfigCodec.h"
#include "app/startup/Configuration.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/Elevation.h"
#include "app/startup/RunApplication.h"
#include "app/startup/RunValue.h"
#include "app/startup/SingleInstance.h"
#include "base/StartProcess.h"
#include "tests/app/startup/RegistryHelpers.h"
#include "tests/skin/MsgBoxAnswer.h"
#include "tests/support/TempFolder.h"

namespace {

CString TestProgram(const wchar_t* name)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString dir(path);
    return dir.Left(dir.ReverseFind(L'\\') + 1) + name;
}

// Waits for a file that another process writes; its bytes, or "" on time-out.
std::string WaitForFile(const CString& path, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!FileExists(path)) {
        if (GetTickCount64() >= end)
            return std::string();
        Sleep(50);
    }
    return ReadFileBytes(path);
}

} // namespace

TEST(CommandLine, AutorunAndRequests)
{
    struct Case {
        const wchar_t* text;
        BYTE autoRun;
        int id;
        int kind;
    };
    const Case cases[] = {
        {L"-autorun", 1, 0, 0},
        {L" -autorun", 0, 0, 0},
        {L"-AUTORUN", 0, 0, 0},
        {L"-autorun x", 0, 0, 0},
        {L"\\id:15 \\tid:2", 0, 15, 2},
        {L"\\id:15", 0, 15, 0},
        {L"go \\id:15 \\tid:2", 0, 0, 0},
        {L"\\id:15 \\tid:2 \\id:4", 0, 4, 2},    // a later piece wins
        {L"\\id:15  \\tid:2", 0, 15, 2},         // an empty piece is skipped
        {L"\\id:-3 \\tid:x1", 0, -3, 0},         // leading digits with a sign
        {L"\\id:12abc \\tid:\\tid:1", 0, 12, 1}, // every "\tid:" is removed
        {L"\\tid:2 \\id:15", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.text).ToUtf8());
        CCorvaneModule module;
        ParseCommandLine(c.text, module);
        EXPECT_EQ(module.m_bAutoRun, c.autoRun);
        EXPECT_EQ(module.m_nItemId, c.id);
        EXPECT_EQ(module.m_nItemKind, c.kind);
    }
}

TEST(Elevation, DecisionByWindowsVersionAndIntegrityLevel)
{
    struct Case {
        DWORD major;
        bool labelRead;
        DWORD rid;
        bool needs;
    };
    const Case cases[] = {
        {5, true, SECURITY_MANDATORY_MEDIUM_RID, false}, // Windows XP: never
        {6, true, SECURITY_MANDATORY_MEDIUM_RID, true},
        {6, true, SECURITY_MANDATORY_LOW_RID, true},
        {6, true, SECURITY_MANDATORY_MEDIUM_RID + 0x100, true},
        {6, true, SECURITY_MANDATORY_HIGH_RID, false},
        {6, true, SECURITY_MANDATORY_SYSTEM_RID, false},
        {6, false, 0, false}, // no label: go on unelevated
        {10, true, SECURITY_MANDATORY_MEDIUM_RID, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << " " << std::hex << c.rid);
        EXPECT_EQ(NeedsElevationFor(c.major, c.labelRead, c.rid), c.needs);
    }
}

// What Wine reports decides the test's expectations: the version is pinned
// for the probe program alone through Wine's per-program settings; Wine's
// token is always at the high level.
TEST(Elevation, WhatTheProgramSeesUnderPinnedWindowsVersions)
{
    struct Case {
        const wchar_t* version;
        const char* expected; // "major rid needs"
    };
    const Case cases[] = {
        {L"winxp64", "5 3000 0"},
        {L"win7", "6 3000 0"},
        {L"win8", "6 3000 0"},
    };
    CTempFolder temp;
    const CString probe = temp / L"elevation_probe.exe";
    ASSERT_TRUE(CopyFileW(TestProgram(L"elevation_probe.exe"), probe, FALSE));
    const wchar_t key[] = L"Software\\Wine\\AppDefaults\\elevation_probe.exe";
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.version).ToUtf8());
        ASSERT_EQ(SetRegValue(HKEY_CURRENT_USER, key, L"Version", REG_SZ, c.version,
                              static_cast<DWORD>((wcslen(c.version) + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        DeleteFileW(temp / L"probe.txt");
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        CString line = L"\"" + probe + L"\"";
        ASSERT_TRUE(StartProcess(probe, line.GetBuffer(line.GetLength() + 1), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &info));
        WaitForSingleObject(info.hProcess, 30000);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        EXPECT_EQ(ReadFileBytes(temp / L"probe.txt"), c.expected);
    }
    DeleteRegKey(HKEY_CURRENT_USER, key);
}

TEST(Elevation, RelaunchPassesTheCommandLineOn)
{
    const wchar_t* const lines[] = {L"-autorun", L"\\id:15 \\tid:2"};
    for (const wchar_t* line : lines) {
        SCOPED_TRACE(CString(line).ToUtf8());
        CTempFolder temp;
        const CString standIn = temp / L"record_args.exe";
        ASSERT_TRUE(CopyFileW(TestProgram(L"record_args.exe"), standIn, FALSE));
        ASSERT_TRUE(RelaunchElevated(standIn, line));
        EXPECT_EQ(WaitForFile(temp / L"args.txt", 30000), CString(line).ToUtf8());
    }
}

TEST(SingleInstance, TheBlockHoldsTheWindowForEveryProcess)
{
    const wchar_t name[] = L"{RavonyxTests-SingleInstance}";
    CInstanceMapping first;
    CInstanceMapping second;
    BOOL existed = TRUE;
    ASSERT_EQ(OpenInstanceMapping(first, existed, name), S_OK);
    EXPECT_FALSE(existed);
    ASSERT_EQ(OpenInstanceMapping(second, existed, name), S_OK);
    EXPECT_TRUE(existed);
    EXPECT_EQ(first.size, 4u);
    EXPECT_EQ(second.ReadWindow(), nullptr);

    HWND window =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    first.WriteWindow(window);
    EXPECT_EQ(second.ReadWindow(), window);
    // Four bytes in the block, whatever the pointer size.
    EXPECT_EQ(*static_cast<DWORD*>(second.view), static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)));

    // A handle written a moment later is found; one that is no window is not.
    first.WriteWindow(nullptr);
    std::thread writer([&] {
        Sleep(300);
        first.WriteWindow(window);
    });
    EXPECT_EQ(WaitForRunningWindow(second, 10000), window);
    writer.join();
    DestroyWindow(window);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(WaitForRunningWindow(second, 400), nullptr);
    EXPECT_GE(GetTickCount64() - start, 350u);

    // The name goes with the last handle.
    first.Close();
    second.Close();
    CInstanceMapping again;
    ASSERT_EQ(OpenInstanceMapping(again, existed, name), S_OK);
    EXPECT_FALSE(existed);
}

TEST(SingleInstance, TheRequestGoesToTheWindowOnlyWithIdAndKind)
{
    struct Case {
        int id;
        int kind;
        int sent;
    };
    const Case cases[] = {{7, 1, 1}, {7, 0, 0}, {0, 2, 0}, {-1, 1, 0}};
    static int received;
    static LPARAM lastKind;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == 0x8109) {
            ++received;
            lastKind = lParam;
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RavonyxTestsRequest";
    RegisterClassW(&wc);
    for (const Case& c : cases) {
        HWND window = CreateWindowExW(0, L"RavonyxTestsRequest", L"", WS_POPUP, 0, 0, 50, 50, nullptr,
                                      nullptr, nullptr, nullptr);
        received = 0;
        int id = c.id;
        int kind = c.kind;
        ActivateWindow(window, id, kind);
        EXPECT_EQ(received, c.sent) << c.id << "," << c.kind;
        EXPECT_TRUE(IsWindowVisible(window));
        if (c.sent) {
            EXPECT_EQ(lastKind, c.kind);
            EXPECT_EQ(id, 0);
            EXPECT_EQ(kind, 0);
        } else {
            EXPECT_EQ(id, c.id);
        }
        DestroyWindow(window);
    }
}

// A program folder with its required files and a download root.
class ConfigurationTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_savedAppDir = _Module.m_strAppDir;
        _Module.m_strAppDir = m_temp.Path();
        for (const wchar_t* name : {L"Config\\common.ini", L"Dunmere.dll", L"Local\\list\\menumanage.html",
                                    L"Data\\MyThemes.xml"}) {
            MakeFolderFor(m_temp / name);
            WriteFileBytes(m_temp / name, "x");
        }
        WriteFileBytes(Ini(), "");
        m_root = m_temp / L"downloads\\";
        Set(L"DownLoad", L"Path", m_root);
        Set(L"Common", L"AutoStart", L"0");
        _Module.m_strDownloadDir = L"";
        _Module.m_strHotKey = L"";
        _Module.m_nHotKeyVk = 0;
    }
    void TearDown() override
    {
        _Module.m_strAppDir = m_savedAppDir;
        DeleteRunValue();
    }

    CString Ini() const { return m_temp / L"Config\\common.ini"; }
    void Set(const wchar_t* section, const wchar_t* key, const wchar_t* value)
    {
        ASSERT_NE(WriteConfigValue(section, key, value, Ini()), 0);
    }
    CString Get(const wchar_t* section, const wchar_t* key)
    {
        CString value = L"<absent>";
        ReadConfigValue(section, key, Ini(), L"<absent>", MAX_PATH, value);
        return value;
    }

    CTempFolder m_temp;
    CString m_root;
    CString m_savedAppDir;
};

TEST_F(ConfigurationTest, EachMissingRequiredFileGivesOne)
{
    for (const wchar_t* name :
         {L"Config\\common.ini", L"Dunmere.dll", L"Local\\list\\menumanage.html", L"Data\\MyThemes.xml"}) {
        SCOPED_TRACE(CString(name).ToUtf8());
        const std::string bytes = ReadFileBytes(m_temp / name);
        ASSERT_TRUE(DeleteFileW(m_temp / name));
        EXPECT_EQ(LoadConfiguration(), kConfigMissingFile);
        EXPECT_FALSE(PathFileExistsW(m_root)) << "nothing is done before the check";
        WriteFileBytes(m_temp / name, bytes);
    }
}

TEST_F(ConfigurationTest, ReadsTheSettingsAndMakesTheFoldersInOrder)
{
    Set(L"DownLoad", L"Path", m_root.Left(m_root.GetLength() - 1)); // no trailing backslash
    Set(L"Common", L"UseHotKey", L"1");
    Set(L"Common", L"HotKey", L"Ctrl+Shift+[F5]");
    Set(L"Common", L"HotKey_V", L"116");
    Set(L"Common", L"AlertDown", L"1");
    Set(L"Common", L"ReceiveAd", L"0");
    ASSERT_EQ(LoadConfiguration(), kConfigOk);
    EXPECT_EQ(_Module.m_strDownloadDir, m_root);
    for (const wchar_t* folder :
         {L"Ravonyx\\ico", L"Ravonyx\\download", L"Ravonyx\\theme", L"Ravonyx\\desktop"})
        EXPECT_TRUE(PathIsDirectoryW(m_root + folder)) << CString(folder).ToUtf8();
    EXPECT_EQ(_Module.m_strHotKey, L"Ctrl+Shift+[F5]");
    EXPECT_EQ(_Module.m_nHotKeyVk, 116);
    EXPECT_EQ(_Module.m_nAlertDown, 1);
    EXPECT_EQ(_Module.m_nSubscription, 1);
    EXPECT_EQ(_Module.m_nReceiveAd, 0);

    // The hot key is read only while it is switched on.
    _Module.m_strHotKey = L"";
    _Module.m_nHotKeyVk = 0;
    Set(L"Common", L"UseHotKey", L"0");
    ASSERT_EQ(LoadConfiguration(), kConfigOk);
    EXPECT_EQ(_Module.m_strHotKey, L"");
    EXPECT_EQ(_Module.m_nHotKeyVk, 0);
}

TEST_F(ConfigurationTest, UnreadablePathAndFolderFailures)
{
    CString encodedKey;
    ASSERT_GT(EncodeConfigText(L"Path", encodedKey), 0);
    ASSERT_TRUE(WritePrivateProfileStringW(L"DownLoad", encodedKey, L"~~~~", Ini()));
    EXPECT_EQ(LoadConfiguration(), kConfigPathUnreadable);

    // A drive that does not exist: the first folder fails, no other is tried.
    Set(L"DownLoad", L"Path", L"Q:\\nowhere\\");
    EXPECT_EQ(LoadConfiguration(), kConfigFolderFailed);
    EXPECT_EQ(_Module.m_strDownloadDir, L"Q:\\nowhere\\");
    EXPECT_EQ(ConfigurationErrorText(kConfigFolderFailed, _Module.m_strDownloadDir),
              L"文件保存目录无法创建，请检查Q:\\nowhere\\Ravonyx 文件夹是否有读写权限！");

    // A file where the first folder belongs.
    Set(L"DownLoad", L"Path", m_root);
    MakeFolderFor(m_root + L"Ravonyx\\ico");
    WriteFileBytes(m_root + L"Ravonyx\\download", "in the way");
    EXPECT_EQ(LoadConfiguration(), kConfigFolderFailed);
    EXPECT_FALSE(PathFileExistsW(m_root + L"Ravonyx\\theme"));
}

TEST_F(ConfigurationTest, FirstRunStampsTheDateOnce)
{
    ASSERT_EQ(LoadConfiguration(), kConfigOk);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(Get(L"Common", L"InstallDate"), DateStampText(now));
    EXPECT_EQ(Get(L"Common", L"CheckHomeDate"), L"1970|11|11");
    Set(L"Common", L"InstallDate", L"2013|3|5");
    Set(L"Common", L"CheckHomeDate", L"2014|1|1");
    ASSERT_EQ(LoadConfiguration(), kConfigOk);
    EXPECT_EQ(Get(L"Common", L"InstallDate"), L"2013|3|5");
    EXPECT_EQ(Get(L"Common", L"CheckHomeDate"), L"2014|1|1");

    SYSTEMTIME march = {};
    march.wYear = 2013;
    march.wMonth = 3;
    march.wDay = 5;
    EXPECT_EQ(DateStampText(march), L"2013|3|5");
}

// The installer's plain file merges only what it holds, and goes only once
// all of that is written.
TEST_F(ConfigurationTest, InstallerMerge)
{
    struct Case {
        const char* temp;
        const wchar_t* path;      // expected afterwards
        const wchar_t* autoStart; // expected afterwards
    };
    const Case cases[] = {
        {"[Common]\r\nAutoStart=1\r\n", nullptr, L"1"},
        {"[DownLoad]\r\nPath=e:\\games\\\r\n", L"e:\\games\\", L"0"},
        {"[DownLoad]\r\nPath=e:\\games\\\r\n[Common]\r\nAutoStart=1\r\n", L"e:\\games\\", L"1"},
        {"[DownLoad]\r\nPath=\r\n", nullptr, L"0"},
        {"", nullptr, L"0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.temp);
        Set(L"DownLoad", L"Path", m_root);
        Set(L"Common", L"AutoStart", L"0");
        const CString temp = m_temp / L"Config\\common_temp.ini";
        WriteFileBytes(temp, c.temp);
        EXPECT_TRUE(MergeInstallerSettings(temp, Ini()));
        EXPECT_FALSE(FileExists(temp));
        EXPECT_EQ(Get(L"DownLoad", L"Path"), c.path ? CString(c.path) : m_root);
        EXPECT_EQ(Get(L"Common", L"AutoStart"), c.autoStart);
    }

    // A write that fails keeps the file for the next start.
    const CString temp = m_temp / L"Config\\common_temp.ini";
    WriteFileBytes(temp, "[DownLoad]\r\nPath=e:\\other\\\r\n");
    const CString unwritable = m_temp / L"NoSuchFolder\\common.ini";
    EXPECT_FALSE(MergeInstallerSettings(temp, unwritable));
    EXPECT_TRUE(FileExists(temp));

    // A Path the next start could not use as it stands is not merged, and
    // the file is kept: one longer than the merge reads, one longer than
    // the settings readers take back (259 symbols, 192 bytes), a relative
    // one. The longest that fits is merged.
    const std::string root = "e:\\";
    struct Kept {
        const char* name;
        std::string path;
    };
    const Kept kept[] = {
        {"longer than the buffer", root + std::string(300, 'a')},
        {"just longer than the buffer", root + std::string(MAX_PATH - 3, 'a')},
        {"longer than the readers take", root + std::string(193 - root.size(), 'a')},
        {"relative", "games"},
    };
    for (const Kept& k : kept) {
        SCOPED_TRACE(k.name);
        Set(L"DownLoad", L"Path", m_root);
        WriteFileBytes(temp, "[DownLoad]\r\nPath=" + k.path + "\r\n");
        EXPECT_FALSE(MergeInstallerSettings(temp, Ini()));
        EXPECT_TRUE(FileExists(temp));
        EXPECT_EQ(Get(L"DownLoad", L"Path"), m_root);
    }
    const std::string longest = root + std::string(192 - root.size(), 'a');
    WriteFileBytes(temp, "[DownLoad]\r\nPath=" + longest + "\r\n");
    EXPECT_TRUE(MergeInstallerSettings(temp, Ini()));
    EXPECT_EQ(Get(L"DownLoad", L"Path"), CString::FromAnsi(longest.c_str()));

    // LoadConfiguration merges before it reads the root.
    const CString chosen = m_temp / L"chosen\\";
    WriteFileBytes(temp, "[DownLoad]\r\nPath=" + chosen.ToAnsi() + "\r\n");
    ASSERT_EQ(LoadConfiguration(), kConfigOk);
    EXPECT_EQ(_Module.m_strDownloadDir, chosen);
    EXPECT_FALSE(FileExists(temp));
}

class RegistryTest : public testing::Test {
protected:
    static constexpr const wchar_t* kKey = L"Software\\RavonyxTests";
    void TearDown() override
    {
        DeleteRegKey(HKEY_LOCAL_MACHINE, kKey);
        DeleteRunValue();
    }
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
    {
        ASSERT_EQ(SetRegValue(HKEY_LOCAL_MACHINE, kKey, name, type, data, bytes), ERROR_SUCCESS);
    }
    static CString RunValue()
    {
        CString value;
        if (ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValueName, value) != ERROR_SUCCESS)
            return L"<none>";
        return value;
    }
    static CString OwnCommand()
    {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        return RunCommandText(path);
    }
};

TEST_F(RegistryTest, StringsAreReadWholeAndTerminatedOrNotAtAll)
{
    const std::wstring fits(249, L'a');
    const std::wstring tooLong(250, L'b');
    SetRaw(L"fits", REG_SZ, fits.c_str(), static_cast<DWORD>((fits.size() + 1) * 2));
    SetRaw(L"tooLong", REG_SZ, tooLong.c_str(), static_cast<DWORD>((tooLong.size() + 1) * 2));
    SetRaw(L"unterminated", REG_SZ, L"abcdefghij", 20);
    SetRaw(L"fullNoTerminator", REG_SZ, tooLong.c_str(), 500);
    const DWORD number = 5;
    SetRaw(L"number", REG_DWORD, &number, sizeof(number));

    struct Case {
        const wchar_t* name;
        int result;
        std::wstring text;
    };
    const Case cases[] = {
        {L"fits", 0, fits},
        {L"tooLong", 2, L"unchanged"},
        {L"unterminated", 0, L"abcdefghij"},
        {L"fullNoTerminator", 2, L"unchanged"},
        {L"number", 2, L"unchanged"},
        {L"absent", 2, L"unchanged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.name).ToUtf8());
        CString out = L"unchanged";
        EXPECT_EQ(ReadHklmString(kKey, c.name, out), c.result);
        EXPECT_EQ(std::wstring(out.GetString()), c.text);
    }
    CString out;
    EXPECT_EQ(ReadHklmString(L"Software\\RavonyxTests\\NoSuchKey", L"x", out), 1);
}

TEST_F(RegistryTest, SyncAutoRunMakesTheRunValueMatch)
{
    CString upper = OwnCommand();
    upper.MakeUpper();
    struct Case {
        const wchar_t* before; // null: no value
        int autostart;
        CString after;
    };
    const Case cases[] = {
        {nullptr, 1, OwnCommand()},
        {nullptr, 0, L"<none>"},
        {L"\"c:\\old\\Ravonyx.exe\" -autorun", 1, OwnCommand()},
        {upper, 1, upper}, // the same command in other letters stays
        {L"anything", 0, L"<none>"},
        {L"anything", 2, L"<none>"}, // only 1 means on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.before ? CString(c.before).ToUtf8() : "none") << " " << c.autostart);
        DeleteRunValue();
        if (c.before) {
            ASSERT_EQ(WriteRunValue(c.before), 0);
        }
        SyncAutoRun(c.autostart);
        EXPECT_EQ(RunValue(), c.after);
    }
    EXPECT_EQ(OwnCommand().Right(10), L"\" -autorun");
    EXPECT_EQ(OwnCommand()[0], L'"');
}

// Each failed load shows its text in the skinned box with the caption
// "错误信息"; a good load shows nothing.
TEST(StartUpErrors, MessagesOfAFailedLoad)
{
    SkWinManager manager;
    StartSkinLibrary();
    _Module.m_strDownloadDir = L"e:\\games\\";
    struct Case {
        int result;
        const wchar_t* text;
    };
    const Case cases[] = {
        {kConfigMissingFile, L"程序必备组件缺失，请重新安装程序！"},
        {kConfigPathUnreadable, L"程序配置文件无法正常读取，请重新安装程序！"},
        {kConfigFolderFailed, L"文件保存目录无法创建，请检查e:\\games\\Ravonyx 文件夹是否有读写权限！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        CString text;
        CString caption;
        UINT type = 99;
        CBoxAnswer answer([&](CCorvaneMsgBox& box) {
            text = box.m_text;
            caption = box.m_caption;
            type = box.m_type;
            box.EndDialog(IDOK);
        });
        EXPECT_TRUE(ReportConfigurationError(c.result));
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(caption, L"错误信息");
        EXPECT_EQ(type, static_cast<UINT>(MB_OK));
    }
    EXPECT_FALSE(ReportConfigurationError(kConfigOk));
}

TEST(ModulePaths, ProgramPathFolderAndVersion)
{
    CCorvaneModule module;
    ASSERT_EQ(InitModulePaths(module), S_OK);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(module.m_strModulePath, path);
    EXPECT_EQ(module.m_strAppDir, module.m_strModulePath.Left(module.m_strModulePath.ReverseFind(L'\\') + 1));
    EXPECT_EQ(module.m_strAppDir[module.m_strAppDir.GetLength() - 1], L'\\');
    // This test program carries the program's version resource.
    EXPECT_EQ(module.m_strVersion, CString::FromUtf8(RAVONYX_VERSION_TEXT));
    EXPECT_EQ(module.MainThreadId(), GetCurrentThreadId());
}
