// Uplark.exe from outside: each test lays out a program folder in a temporary
// folder, serves an update package from the test server (the download server
// address the test build was made with), starts the updater there with an
// update order, answers its message boxes and looks at what it left.
#include "app/common/ConfigCodec.h"
#include "app/common/FileVersion.h"
#include "app/common/Md5Checksum.h"
#include "app/common/ProgramImage.h"

#include "app/update/UpdaterStart.h"
#include "tools/uplarkhook/StepHook.h"

#include "base/StartProcess.h"
#include "tests/app/common/ZipFixture.h"
#include "tests/support/ExitMark.h"
#include "tests/support/ProcessDialog.h"
#include "tests/support/ScopedVariable.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"
#include "tests/updater/StandInBuilds.h"

#include "base/Handle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;
using Tree = std::map<std::string, std::string>;

constexpr DWORD kPatience = 120000; // ms; only reached when something hangs
constexpr DWORD kLookAgain = 50;
const char kPackagePath[] = "/update/Tessaly.zip";
const wchar_t kOrder[] = L"TAG=Zenro_Run_Update|MD5=";

// What a comparison shows of a file: programs are told apart by size and a
// hash, so that a failure does not print them.
std::string Shown(const std::string& bytes)
{
    if (bytes.size() <= 256)
        return bytes;
    return "(" + std::to_string(bytes.size()) + " bytes, hash " +
           std::to_string(std::hash<std::string>()(bytes)) + ")";
}

// Every file under folder (relative path with "\" → contents as Shown),
// leaving out the sub-folder skip when given.
void ReadTree(const CString& folder, const CString& relative, const CString& skip, Tree& tree)
{
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(folder + relative + L"*", &found));
    if (!find)
        return;
    do {
        const CString name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const CString path = relative + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (path.CompareNoCase(skip) != 0)
                ReadTree(folder, path + L"\\", skip, tree);
        } else {
            tree[path.ToUtf8()] = Shown(ReadFileBytes(folder + path));
        }
    } while (FindNextFileW(find, &found));
}

struct Package {
    std::string bytes;
    CString md5;
};

Package MakePackage(const Entries& entries)
{
    CTempFolder folder;
    const CString path = folder / L"Tessaly.zip";
    WriteZip(path, entries);
    return {ReadFileBytes(path), ComputeFileMd5(path)};
}

// A program folder as an installation has it: the updater and the extractor
// (the real one, or a stand-in under that name), and the settings file with
// AutoUpdate "1", as the main program leaves it before it starts the updater.
class ProgramFolder {
public:
    explicit ProgramFolder(const wchar_t* extractor = L"Extract.dll")
    {
        const CString bin = BinFolder();
        EXPECT_TRUE(CopyFileW(bin + L"Uplark.exe", m_folder / L"Uplark.exe", FALSE));
        EXPECT_TRUE(CopyFileW(bin + extractor, m_folder / L"Extract.dll", FALSE));
        CreateDirectoryW(m_folder / L"Config", nullptr);
        EXPECT_NE(0, WriteConfigValue(L"Update", L"AutoUpdate", L"1", Settings()));
    }

    const CString& Path() const { return m_folder.Path(); }
    CString operator/(const wchar_t* name) const { return m_folder / name; }
    CString Settings() const { return m_folder / L"Config\\common.ini"; }

    void Put(const char* relative, const std::string& bytes) const
    {
        CString path = m_folder.Path() + CString::FromUtf8(relative);
        path.Replace(L'/', L'\\');
        MakeFolderFor(path);
        WriteFileBytes(path, bytes);
    }

    // The installation without the work folder.
    Tree Files() const
    {
        Tree tree;
        ReadTree(Path(), CString(), L"Temp", tree);
        return tree;
    }

    std::string AutoUpdate() const
    {
        CString value;
        ReadConfigValue(L"Update", L"AutoUpdate", Settings(), L"(absent)", 260, value);
        return value.ToUtf8();
    }

private:
    CTempFolder m_folder;
};

// The events through which the test build's Uplark.exe shows its waits for
// a file and is told to look again (StepHook.h), named for this process
// and handed to every run through the environment.
class UplarkWaitEvents {
public:
    UplarkWaitEvents()
    {
        CString name;
        name.Format(L"ravonyx-updater-tests-%lu", GetCurrentProcessId());
        m_waiting.Reset(CreateEventW(nullptr, FALSE, FALSE, name + L".waiting"));
        m_look.Reset(CreateEventW(nullptr, FALSE, FALSE, name + L".look"));
        SetEnvironmentVariableW(kUplarkWaitEventsVariable, name);
    }

    // Before a run: what an earlier run signalled counts for nothing.
    void Forget()
    {
        ResetEvent(m_waiting);
        ResetEvent(m_look);
    }
    HANDLE Waiting() const { return m_waiting; }
    void LookAgain() { SetEvent(m_look); }

private:
    CHandle m_waiting;
    CHandle m_look;
};

UplarkWaitEvents& WaitEvents()
{
    static UplarkWaitEvents events;
    return events;
}

// Made before any test starts the updater.
const bool g_waitEventsReady = (WaitEvents(), true);

// One run of Uplark.exe in a program folder. Every message box it shows is
// read and answered with OK.
class UplarkRun {
public:
    UplarkRun(const ProgramFolder& folder, const CString& arguments)
    {
        WaitEvents().Forget();
        const CString program = folder / L"Uplark.exe";
        CString command = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started = {};
        m_exitMark.Arm();
        const BOOL ran = StartProcess(program, command.GetBuffer(command.GetLength()), nullptr, nullptr,
                                      FALSE, 0, nullptr, folder.Path(), &startup, &started);
        CExitMark::Disarm();
        if (!ran) {
            ADD_FAILURE() << "cannot start Uplark.exe: " << GetLastError();
            return;
        }
        m_process.Reset(started.hProcess);
        CloseHandle(started.hThread);
        m_processId = started.dwProcessId;
    }

    // A run that start() begins as the program starts the updater; an empty
    // handle is a failure of the test unless start may start nothing.
    enum Expect { kMustStart, kMayStartNothing };
    UplarkRun(const ProgramFolder&, const std::function<CHandle()>& start, Expect expect = kMustStart)
    {
        m_exitMark.Arm();
        CHandle process = start();
        CExitMark::Disarm();
        if (!process) {
            if (expect == kMayStartNothing)
                return;
            ADD_FAILURE() << "Uplark.exe was not started";
            return;
        }
        m_processId = GetProcessId(process);
        m_process = std::move(process);
    }

    ~UplarkRun()
    {
        if (m_process && WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) {
            TerminateProcess(m_process, 99);
            WaitForSingleObject(m_process, kPatience);
        }
    }

    // Answers boxes until the updater ends or ms have passed; true when it
    // ended.
    bool WaitAnswering(DWORD ms)
    {
        if (!m_process)
            return true;
        for (DWORD waited = 0;; waited += kLookAgain) {
            if (WaitForSingleObject(m_process, kLookAgain) == WAIT_OBJECT_0)
                return true;
            if (waited >= ms)
                return false;
            if (HWND box = FindMessageBox(m_processId))
                Answer(box);
        }
    }

    bool Started() const { return m_process.IsValid(); }

    // Waits for the end; the exit code, 999 when it did not end, or
    // kEndedWithoutMark when it did not end normally.
    DWORD Finish()
    {
        if (!WaitAnswering(kPatience)) {
            ADD_FAILURE() << "Uplark.exe did not end";
            return 999;
        }
        return CheckedExitCode(m_process, m_exitMark, "Uplark.exe");
    }

    // Waits for the end of a run that the step hook stops: its exit code.
    // A stop leaves no mark of a normal end.
    DWORD FinishStopped()
    {
        if (!WaitAnswering(kPatience)) {
            ADD_FAILURE() << "Uplark.exe did not end";
            return 999;
        }
        DWORD code = 999;
        GetExitCodeProcess(m_process, &code);
        EXPECT_FALSE(m_exitMark.Seen()) << "Uplark.exe ended normally where it was to be stopped";
        return code;
    }

    // Waits until the updater waits for a file to be let go; false when it
    // ended instead.
    bool WaitsForAFile()
    {
        const HANDLE either[] = {WaitEvents().Waiting(), m_process};
        return WaitForMultipleObjects(2, either, FALSE, kPatience) == WAIT_OBJECT_0;
    }

    const std::vector<std::wstring>& Boxes() const { return m_boxes; }

private:
    void Answer(HWND box)
    {
        wchar_t caption[64] = {};
        GetWindowTextW(box, caption, 64);
        wchar_t text[256] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        m_boxes.push_back(text);
        m_captions.push_back(caption);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        for (DWORD waited = 0; IsWindow(box) && waited < kPatience; waited += 10)
            Sleep(10);
    }

    CExitMark m_exitMark;
    CHandle m_process;
    DWORD m_processId = 0;
    std::vector<std::wstring> m_boxes;
    std::vector<std::wstring> m_captions;
};

DWORD RunToEnd(const ProgramFolder& folder, const CString& arguments)
{
    UplarkRun run(folder, arguments);
    return run.Finish();
}

// The old installation that every test starts from.
const Entries& Installed()
{
    static const Entries entries = {
        {"Ravonyx.exe", Programs().oldProgram}, {"Dunmere.dll", Programs().oldLibrary},
        {"Skins/blue.xml", "old skin"},         {"Skins/mine.xml", "the user's own skin"},
        {"readme.txt", "old read-only readme"},
    };
    return entries;
}

// The update: both program files, a changed and a new file in a sub-folder,
// a file and a folder whose names begin with ".", and a file that is
// read-only in the installation.
const Entries& Update()
{
    static const Entries entries = {
        {"Ravonyx.exe", Programs().newProgram},
        {"Dunmere.dll", Programs().newLibrary},
        {"Skins/blue.xml", "new skin"},
        {"Skins/Extra/green.xml", "new folder's skin"},
        {".version", "dot file"},
        {".svn/entries", "dot folder"},
        {"readme.txt", "new readme"},
    };
    return entries;
}

// Lays out the old installation in a program folder.
void InstallOld(const ProgramFolder& folder)
{
    for (const auto& entry : Installed())
        folder.Put(entry.first.c_str(), entry.second);
    SetFileAttributesW(folder / L"readme.txt", FILE_ATTRIBUTE_READONLY);
}

// The folder holds the old installation overlaid with Update() (without the
// dot folder), the setting says the update is done and the work files are
// gone.
void ExpectUpdated(const ProgramFolder& folder)
{
    Tree expected;
    for (const auto& entry : Installed())
        expected[entry.first] = Shown(entry.second);
    for (const auto& entry : Update())
        if (entry.first.compare(0, 5, ".svn/") != 0)
            expected[entry.first] = Shown(entry.second);
    Tree normalised;
    for (const auto& file : folder.Files()) {
        std::string name = file.first;
        for (char& c : name)
            if (c == '\\')
                c = '/';
        normalised[name] = file.second;
    }
    expected["Uplark.exe"] = normalised["Uplark.exe"];
    expected["Extract.dll"] = normalised["Extract.dll"];
    expected["Config/common.ini"] = normalised["Config/common.ini"];
    EXPECT_EQ(expected, normalised);
    EXPECT_EQ("0", folder.AutoUpdate());
    for (const wchar_t* work :
         {L"Temp\\TessalyUpdate", L"Temp\\Tessaly.zip", L"Temp\\Tessaly.state", L"Temp\\TessalyOld"})
        EXPECT_FALSE(FileExists(folder / work)) << CString(work).ToUtf8();
}

class Uplark : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.Reset();
        InstallOld(program);
    }

    void Serve(const Package& package) { server.PutFile(kPackagePath, package.bytes); }
    CString OrderFor(const Package& package) const { return kOrder + package.md5; }
    size_t PackageRequests() { return server.Requests(kPackagePath).size(); }

    // Installed files are the old ones; no setting was written.
    void ExpectUnchanged(const Tree& before)
    {
        EXPECT_EQ(before, program.Files());
        EXPECT_EQ("1", program.AutoUpdate());
    }

    void ExpectUpdated() { ::ExpectUpdated(program); }

    // The settings file, made a folder by the test, can be written again:
    // the next start finishes the noted update with nothing to fetch.
    void FinishAtNextStartOnceTheSettingsCanBeWritten()
    {
        ASSERT_TRUE(RemoveDirectoryW(program.Settings()));
        ASSERT_NE(0, WriteConfigValue(L"Update", L"AutoUpdate", L"1", program.Settings()));
        server.Reset();
        server.AddRoute(R"({"path": "/update/Tessaly.zip", "status": 404})");
        UplarkRun next(program, [&] { return ResumeUpdateAtStart(program.Path()); });
        EXPECT_EQ(0u, next.Finish());
        ExpectUpdated();
    }

    CTestServer& server = CTestServer::Instance();
    ProgramFolder program;
};

// The kill sweeps: each runs the update once for every step of it.
class UplarkKillSweep : public Uplark {};

TEST_F(Uplark, AnythingButAnUpdateOrderEndsAtOnce)
{
    const Package package = MakePackage(Update());
    Serve(package);
    const CString rows[] = {
        L"",
        kOrder,
        CString(kOrder) + L"a|b",
        CString(kOrder) + L"a=b",
        CString(L"tag=zenro_run_update|MD5=") + package.md5,
        CString(L"TAG=Zenro_Run_Update|md5=") + package.md5,
        CString(L"TAG=Zenro_Run_Update MD5=") + package.md5,
        L"TAG=Zenro_Run_Update|",
        L"TAG=Zenro_Run_Update|MD5",
        CString(L"|") + kOrder + package.md5,
    };
    const Tree before = program.Files();
    for (const CString& arguments : rows) {
        SCOPED_TRACE(arguments.ToUtf8());
        EXPECT_EQ(0u, RunToEnd(program, arguments));
        EXPECT_TRUE(server.Requests().empty());
        EXPECT_FALSE(FileExists(program / L"Temp"));
        ExpectUnchanged(before);
    }
}

TEST_F(Uplark, ASecondInstanceEndsAtOnce)
{
    const Package package = MakePackage(Update());
    Serve(package);
    const Tree before = program.Files();
    CHandle mutex(CreateMutexW(nullptr, FALSE, L"ZENROVAX_UPDATE_SOFT"));
    ASSERT_TRUE(mutex);
    EXPECT_EQ(0u, RunToEnd(program, OrderFor(package)));
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_FALSE(FileExists(program / L"Temp"));
    ExpectUnchanged(before);
}

TEST_F(Uplark, ARightPackageReplacesTheInstallation)
{
    const Package package = MakePackage(Update());
    Serve(package);
    UplarkRun run(program, OrderFor(package));
    EXPECT_EQ(0u, run.Finish());
    EXPECT_TRUE(run.Boxes().empty());
    ExpectUpdated();
    EXPECT_FALSE(FileExists(program / L".svn"));
    EXPECT_EQ(1u, PackageRequests());
    // Section names stay plain, keys and values are scrambled.
    const std::string settings = ReadFileBytes(program.Settings());
    EXPECT_NE(std::string::npos, settings.find("[Update]"));
    EXPECT_EQ(std::string::npos, settings.find("AutoUpdate"));
}

TEST_F(Uplark, TheRequestIsWellFormed)
{
    const Package package = MakePackage(Update());
    Serve(package);
    EXPECT_EQ(0u, RunToEnd(program, OrderFor(package)));
    const std::vector<std::string> requests = server.Requests(kPackagePath);
    ASSERT_EQ(1u, requests.size());
    const std::string& request = requests[0];
    EXPECT_EQ(0u, request.find("GET /update/Tessaly.zip HTTP/1.1\r\n")) << request;
    // The header block ends once, at the end, and holds one Host line and
    // one Accept line.
    EXPECT_EQ(request.size() - 4, request.find("\r\n\r\n")) << request;
    const auto count = [&](const char* line) {
        size_t n = 0;
        for (size_t at = request.find(line); at != std::string::npos; at = request.find(line, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(1u, count("\r\nHost: 127.0.0.1:")) << request;
    EXPECT_EQ(1u, count("\r\nAccept: */*\r\n")) << request;
    EXPECT_EQ(std::string::npos, request.find("User-Agent: Accept")) << request;
}

TEST_F(Uplark, APackageWithoutProgramFilesStillMovesItsTree)
{
    const Package package = MakePackage({{"Skins/blue.xml", "new skin"}});
    Serve(package);
    EXPECT_EQ(0u, RunToEnd(program, OrderFor(package)));
    EXPECT_EQ("new skin", ReadFileBytes(program / L"Skins\\blue.xml"));
    EXPECT_EQ(Shown(Programs().oldProgram), Shown(ReadFileBytes(program / L"Ravonyx.exe")));
    EXPECT_EQ(Shown(Programs().oldLibrary), Shown(ReadFileBytes(program / L"Dunmere.dll")));
    EXPECT_EQ("0", program.AutoUpdate());
}

TEST_F(Uplark, AWrongDigestIsTriedTenTimesAndChangesNothing)
{
    const Package package = MakePackage(Update());
    Serve(package);
    CString upper = package.md5;
    upper.MakeUpper();
    const CString rows[] = {L"0123456789abcdef0123456789abcdef", upper};
    for (const CString& digest : rows) {
        SCOPED_TRACE(digest.ToUtf8());
        server.Reset();
        const Tree before = program.Files();
        UplarkRun run(program, kOrder + digest);
        EXPECT_EQ(0u, run.Finish());
        EXPECT_TRUE(run.Boxes().empty());
        EXPECT_EQ(10u, PackageRequests());
        ExpectUnchanged(before);
        // Each wrong package was deleted; nothing was unpacked.
        EXPECT_FALSE(FileExists(program / L"Temp\\Tessaly.zip"));
        EXPECT_FALSE(FileExists(program / L"Temp\\TessalyUpdate"));
    }
}

TEST_F(Uplark, APackageFileThatCannotBeCreatedFailsEachTry)
{
    const Package package = MakePackage(Update());
    Serve(package);
    // A folder where the package file belongs.
    ASSERT_TRUE(CreateDirectoryW(program / L"Temp", nullptr));
    ASSERT_TRUE(CreateDirectoryW(program / L"Temp\\Tessaly.zip", nullptr));
    const Tree before = program.Files();
    EXPECT_EQ(0u, RunToEnd(program, OrderFor(package)));
    EXPECT_EQ(10u, PackageRequests());
    ExpectUnchanged(before);
    EXPECT_FALSE(FileExists(program / L"Temp\\TessalyUpdate"));
}

TEST_F(Uplark, CutDownloadsAreTriedAgain)
{
    const Package package = MakePackage(Update());
    Serve(package);
    server.AddRoute(R"({"path": "/update/Tessaly.zip", "drop_after": 100, "drop_times": 3})");
    EXPECT_EQ(0u, RunToEnd(program, OrderFor(package)));
    EXPECT_EQ(4u, PackageRequests());
    ExpectUpdated();
}

TEST_F(Uplark, AStalledServerFailsOnlyThatTry)
{
    const Package package = MakePackage(Update());
    Serve(package);
    // The first request stalls until the server stops: before its reply, or
    // after its header and part of the package.
    const char* const rows[] = {
        R"({"path": "/update/Tessaly.zip", "stall": true, "times": 1})",
        R"({"path": "/update/Tessaly.zip", "stall": true, "stall_after": 100, "times": 1})",
    };
    // The test build's updater makes each of its time-outs 2 s at most: the
    // stalled try ends after the time-outs the updater set, not the
    // Internet library's own, and the test need not sit out 30 s per row.
    CScopedVariable shorter(kUplarkNetworkTimeoutVariable, L"2000");
    for (const char* route : rows) {
        SCOPED_TRACE(route);
        server.Reset();
        ProgramFolder fresh;
        InstallOld(fresh);
        server.AddRoute(route);
        const DWORD start = GetTickCount();
        EXPECT_EQ(0u, RunToEnd(fresh, OrderFor(package)));
        EXPECT_EQ(2u, PackageRequests());
        EXPECT_EQ(Shown(Programs().newProgram), Shown(ReadFileBytes(fresh / L"Ravonyx.exe")));
        EXPECT_EQ("0", fresh.AutoUpdate());
        // Given up after the updater's own time-out.
        EXPECT_LT(GetTickCount() - start, 20000u);
    }
}

TEST_F(Uplark, StaleUnpackedFilesAreNotInstalled)
{
    const Package package = MakePackage(Update());
    Serve(package);
    // Left by a run that was ended while it unpacked.
    program.Put("Temp/TessalyUpdate/stale.dll", "stale");
    program.Put("Temp/TessalyUpdate/Skins/stale.xml", "stale");
    program.Put("Temp/TessalyUpdate/Ravonyx.exe", "stale program");
    EXPECT_EQ(0u, RunToEnd(program, OrderFor(package)));
    ExpectUpdated();
    EXPECT_FALSE(FileExists(program / L"stale.dll"));
    EXPECT_FALSE(FileExists(program / L"Skins\\stale.xml"));
}

// The update's package as the sweeps use it: Update() and a new updater
// (this build's, so that the runs after a kill still work), which the
// updater puts in place of its own running file.
const Entries& UpdateWithUpdater()
{
    static const Entries entries = [] {
        Entries all = Update();
        all.push_back({"Uplark.exe", BinFile(L"Uplark.exe")});
        return all;
    }();
    return entries;
}

// Every file of the installation and of the package is its old or its new
// version, a file is missing only where it had no old version, and nothing
// was left aside in the program folder. The updater may lie where the
// program's start puts it back from, when that is allowed.
enum class UpdaterAside { No, Allowed };
void ExpectNothingLost(const ProgramFolder& folder, const Entries& package,
                       UpdaterAside aside = UpdaterAside::No)
{
    struct Versions {
        bool hadOld = false;
        std::string oldOne, newOne;
    };
    const auto key = [](std::string name) {
        std::replace(name.begin(), name.end(), '/', '\\');
        return name;
    };
    std::map<std::string, Versions> versions;
    for (const auto& entry : Installed()) {
        Versions& known = versions[key(entry.first)];
        known.hadOld = true;
        known.oldOne = Shown(entry.second);
    }
    versions["Uplark.exe"].hadOld = true;
    versions["Uplark.exe"].oldOne = Shown(BinFile(L"Uplark.exe"));
    for (const auto& entry : package) {
        if (entry.first.compare(0, 5, ".svn/") != 0)
            versions[key(entry.first)].newOne = Shown(entry.second);
    }
    Tree installed = folder.Files();
    if (aside == UpdaterAside::Allowed && !installed.count("Uplark.exe") &&
        FileExists(folder / L"Temp\\Uplark.exe.old"))
        installed["Uplark.exe"] = Shown(ReadFileBytes(folder / L"Temp\\Uplark.exe.old"));
    for (const auto& known : versions) {
        const auto now = installed.find(known.first);
        if (now == installed.end()) {
            EXPECT_FALSE(known.second.hadOld) << known.first << " was lost";
        } else {
            EXPECT_TRUE(now->second == known.second.newOne ||
                        (known.second.hadOld && now->second == known.second.oldOne))
                << known.first << ": " << now->second;
        }
    }
    for (const auto& file : installed)
        EXPECT_EQ(std::string::npos, file.first.find(".uplark-old")) << file.first << " was left aside";
}

TEST_F(Uplark, AFileThatCannotBeReplacedLosesNothingAndWritesNoSetting)
{
    const Package package = MakePackage(Update());
    Serve(package);
    {
        // Held without FILE_SHARE_DELETE, so it can be neither deleted nor
        // moved aside.
        CFileHandle held(CreateFileW(program / L"Skins\\blue.xml", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(0u, RunToEnd(program, OrderFor(package)));
        EXPECT_EQ("1", program.AutoUpdate());
        EXPECT_EQ("old skin", ReadFileBytes(program / L"Skins\\blue.xml"));
        EXPECT_EQ(Shown(Programs().newProgram), Shown(ReadFileBytes(program / L"Ravonyx.exe")));
        // Every file is its old or its new version, and nothing was set aside
        // for good.
        ExpectNothingLost(program, Update());
        // The work files stay for the next start.
        EXPECT_TRUE(FileExists(program / L"Temp\\Tessaly.zip"));
        EXPECT_TRUE(FileExists(program / L"Temp\\TessalyUpdate\\Skins\\blue.xml"));
    }
    // The new program reports the new version, so its update check starts
    // nothing; its start hands the noted update to the updater, which
    // finishes it once the file is free.
    UplarkRun next(program, [&] { return ResumeUpdateAtStart(program.Path()); });
    EXPECT_EQ(0u, next.Finish());
    ExpectUpdated();
}

// Waits until the package has been unpacked in the program folder's work
// folder while the updater still runs.
bool WaitUntilUnpacked(const ProgramFolder& program, UplarkRun& run)
{
    for (DWORD waited = 0; waited < kPatience; waited += kLookAgain) {
        if (FileExists(program / L"Temp\\TessalyUpdate\\Ravonyx.exe"))
            return true;
        if (run.WaitAnswering(kLookAgain))
            return false;
    }
    return false;
}

TEST_F(Uplark, WaitsUntilTheRunningProgramHasEnded)
{
    // A real program with the real download library loaded, as the main
    // program runs while it starts the updater.
    const CString bin = BinFolder();
    ASSERT_TRUE(CopyFileW(bin + L"updater_running_program.exe", program / L"Ravonyx.exe", FALSE));
    ASSERT_TRUE(CopyFileW(bin + L"Dunmere.dll", program / L"Dunmere.dll", FALSE));
    const std::string runningProgram = ReadFileBytes(program / L"Ravonyx.exe");
    const std::string runningLibrary = ReadFileBytes(program / L"Dunmere.dll");
    const CString path = program / L"Ravonyx.exe";
    CString command = L"\"" + path + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(StartProcess(path, command.GetBuffer(command.GetLength()), nullptr, nullptr, FALSE, 0,
                             nullptr, program.Path(), &startup, &started));
    CHandle running(started.hProcess);
    CloseHandle(started.hThread);
    ASSERT_EQ(0u, WaitForInputIdle(running, kPatience));

    const Package package = MakePackage(Update());
    Serve(package);
    UplarkRun run(program, OrderFor(package));
    ASSERT_TRUE(WaitUntilUnpacked(program, run));
    // It looks, finds the program running and waits; told to look again, it
    // finds the same.
    ASSERT_TRUE(run.WaitsForAFile());
    WaitEvents().LookAgain();
    ASSERT_TRUE(run.WaitsForAFile());
    EXPECT_EQ(runningProgram, ReadFileBytes(program / L"Ravonyx.exe"));
    EXPECT_EQ(runningLibrary, ReadFileBytes(program / L"Dunmere.dll"));
    EXPECT_EQ("1", program.AutoUpdate());

    TerminateProcess(running, 0);
    WaitForSingleObject(running, kPatience);
    WaitEvents().LookAgain();
    EXPECT_EQ(0u, run.Finish());
    ExpectUpdated();
}

TEST_F(Uplark, WaitsWhileAnotherProgramHoldsTheProgramFile)
{
    const Package package = MakePackage(Update());
    Serve(package);
    // Shared for reading and deleting but not for writing.
    CFileHandle held(CreateFileW(program / L"Ravonyx.exe", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    UplarkRun run(program, OrderFor(package));
    ASSERT_TRUE(WaitUntilUnpacked(program, run));
    ASSERT_TRUE(run.WaitsForAFile());
    WaitEvents().LookAgain();
    ASSERT_TRUE(run.WaitsForAFile());
    EXPECT_EQ(Shown(Programs().oldProgram), Shown(ReadFileBytes(program / L"Ravonyx.exe")));
    EXPECT_EQ(Shown(Programs().oldLibrary), Shown(ReadFileBytes(program / L"Dunmere.dll")));
    EXPECT_EQ("old skin", ReadFileBytes(program / L"Skins\\blue.xml"));

    held.Reset();
    WaitEvents().LookAgain();
    EXPECT_EQ(0u, run.Finish());
    ExpectUpdated();
}

// The program's bytes as built for another machine.
std::string ForAnotherMachine(std::string program)
{
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(program.data());
    auto* header = reinterpret_cast<IMAGE_FILE_HEADER*>(&program[dos->e_lfanew + 4]);
    header->Machine =
        header->Machine == IMAGE_FILE_MACHINE_AMD64 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;
    return program;
}

TEST_F(Uplark, PackagesWhoseProgramFilesAreNoProgramsChangeNothing)
{
    const Builds& builds = Programs();
    const std::string page = "<html><body>502 Bad Gateway</body></html>";
    const struct {
        const char* name;
        Entries programFiles; // beside the rest of Update()
    } rows[] = {
        {"a folder named like the program",
         {{"Ravonyx.exe/index.html", page}, {"Dunmere.dll", builds.newLibrary}}},
        {"a folder named like the library",
         {{"Ravonyx.exe", builds.newProgram}, {"Dunmere.dll/index.html", page}}},
        {"a folder named like the updater",
         {{"Ravonyx.exe", builds.newProgram}, {"Uplark.exe/index.html", page}}},
        {"an empty program", {{"Ravonyx.exe", ""}, {"Dunmere.dll", builds.newLibrary}}},
        {"a web page as the program", {{"Ravonyx.exe", page}, {"Dunmere.dll", builds.newLibrary}}},
        {"a web page as the library", {{"Ravonyx.exe", builds.newProgram}, {"Dunmere.dll", page}}},
        {"a web page as the updater", {{"Uplark.exe", page}}},
        {"a web page under a name in capitals", {{"RAVONYX.EXE", page}}},
        {"a cut-off program",
         {{"Ravonyx.exe", builds.newProgram.substr(0, builds.newProgram.size() / 2)},
          {"Dunmere.dll", builds.newLibrary}}},
        {"a cut-off library",
         {{"Ravonyx.exe", builds.newProgram}, {"Dunmere.dll", builds.newLibrary.substr(0, 1024)}}},
        {"another machine's program",
         {{"Ravonyx.exe", ForAnotherMachine(builds.newProgram)}, {"Dunmere.dll", builds.newLibrary}}},
        {"a library as the program",
         {{"Ravonyx.exe", builds.newLibrary}, {"Dunmere.dll", builds.newLibrary}}},
        {"a program as the library",
         {{"Ravonyx.exe", builds.newProgram}, {"Dunmere.dll", builds.newProgram}}},
        {"a program without a version resource",
         {{"Ravonyx.exe", BinFile(L"extract_stub.exe")}, {"Dunmere.dll", builds.newLibrary}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        server.Reset();
        ProgramFolder fresh;
        InstallOld(fresh);
        Entries entries = row.programFiles;
        for (const auto& entry : Update()) {
            if (entry.first != "Ravonyx.exe" && entry.first != "Dunmere.dll")
                entries.push_back(entry);
        }
        const Package package = MakePackage(entries);
        Serve(package);
        const Tree before = fresh.Files();
        UplarkRun run(fresh, OrderFor(package));
        EXPECT_EQ(0u, run.Finish());
        EXPECT_EQ(std::vector<std::wstring>{L"发生严重错误，无法进行解压！"}, run.Boxes());
        EXPECT_EQ(before, fresh.Files());
        EXPECT_EQ("1", fresh.AutoUpdate());
        // The listed package itself is refused: it is not fetched again.
        EXPECT_EQ(1u, PackageRequests());
        for (const wchar_t* work : {L"Temp\\TessalyUpdate", L"Temp\\Tessaly.zip", L"Temp\\Tessaly.state"})
            EXPECT_FALSE(FileExists(fresh / work)) << CString(work).ToUtf8();
    }
}

TEST_F(Uplark, ALibraryThatCannotBeReplacedPutsTheProgramBack)
{
    const Package package = MakePackage(Update());
    Serve(package);
    const Tree before = program.Files();
    {
        // Open for writing by anyone, so the wait for it ends at once, but
        // neither to be renamed nor deleted.
        CFileHandle held(CreateFileW(program / L"Dunmere.dll", GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(0u, RunToEnd(program, OrderFor(package)));
        ExpectUnchanged(before);
        for (const wchar_t* work : {L"Temp\\TessalyUpdate", L"Temp\\Tessaly.state", L"Temp\\TessalyOld"})
            EXPECT_FALSE(FileExists(program / work)) << CString(work).ToUtf8();
        // Nothing is pending, so the program's start hands nothing over.
        EXPECT_FALSE(ResumeUpdateAtStart(program.Path()));
    }
    // The old program still finds the new version and starts the updater.
    UplarkRun next(program, [&] { return StartUpdater(program.Path(), package.md5); });
    EXPECT_EQ(0u, next.Finish());
    ExpectUpdated();
}

// After any kill: the program and its library are one pair, old or new;
// only while the work folder notes the update may the new program stand
// beside the old library. The settings value says done only when it is.
// The updater may be aside, for the program's start to put back.
void ExpectWorking(const ProgramFolder& folder, const Entries& package)
{
    const Builds& builds = Programs();
    const std::string exe = ReadFileBytes(folder / L"Ravonyx.exe");
    const std::string dll = ReadFileBytes(folder / L"Dunmere.dll");
    const bool noted = FileExists(folder / L"Temp\\Tessaly.state");
    const bool oldPair = exe == builds.oldProgram && dll == builds.oldLibrary;
    const bool newPair = exe == builds.newProgram && dll == builds.newLibrary;
    const bool halfway = noted && exe == builds.newProgram && dll == builds.oldLibrary;
    EXPECT_TRUE(oldPair || newPair || halfway) << Shown(exe) << " beside " << Shown(dll);
    if (!newPair) {
        EXPECT_EQ("1", folder.AutoUpdate());
    }
    ExpectNothingLost(folder, package, UpdaterAside::Allowed);
}

// Where a path of the update ends once nothing stops it.
enum class EndState {
    Updated,   // the package is in
    Unchanged, // the package is refused: the installation is as it was
};

// A kill sweep over one path of the update. The updater is ended before
// each of its changes to the files in turn (or a resumed run is, at each of
// its own); the folder must then hold a working program. The program's next
// start, at which the package can no longer be fetched, must settle a noted
// update on its own, with the local files only; a later update check,
// with the package served again, must end it.
class CKillSweep {
public:
    CKillSweep(CTestServer& server, const Entries& package, EndState end, bool holdLibrary)
        : m_server(server), m_entries(package), m_package(MakePackage(package)), m_end(end),
          m_holdLibrary(holdLibrary)
    {
    }

    // One run to the end names every change the updater makes to the files.
    std::vector<std::string> WholeRun()
    {
        ProgramFolder folder;
        const Tree before = Prepare(folder);
        const CString log = m_logs / L"whole.txt";
        {
            CScopedVariable logging(kUplarkStepLogVariable, log);
            UplarkRun run(folder, Order());
            EXPECT_EQ(0u, run.Finish());
        }
        if (m_holdLibrary) {
            // The library could not be replaced: the update undid itself.
            ExpectUnchanged(folder, before);
        } else {
            ExpectEnd(folder, before);
        }
        m_held.Reset();
        return Lines(log);
    }

    // Every step of a whole run.
    void SweepFirstRun()
    {
        const std::vector<std::string> steps = WholeRun();
        ASSERT_FALSE(steps.empty());
        for (size_t n = 1; n <= steps.size(); ++n) {
            SCOPED_TRACE(testing::Message() << "killed before step " << n << ": " << steps[n - 1]);
            ProgramFolder folder;
            const Tree before = Prepare(folder);
            KillFirstRun(folder, n, steps[n - 1]);
            ExpectWorking(folder, m_entries);
            Settle(folder, before);
            if (testing::Test::HasFailure())
                return;
        }
    }

    // The run killed just after the count-th writing of its note; then the
    // program's next start, whose resumed run is killed before each of its
    // own steps in turn.
    void SweepResumedRun(int count)
    {
        const std::vector<std::string> steps = WholeRun();
        const size_t noted = AfterNoteWritten(steps, count);
        ASSERT_NE(0u, noted) << "the run never wrote its note " << count << " times";
        // The resumed run's own steps, up to any fetch of a package.
        std::vector<std::string> resumed;
        {
            ProgramFolder folder;
            Prepare(folder);
            KillFirstRun(folder, noted, steps[noted - 1]);
            PackageGone();
            const CString log = m_logs / L"resumed.txt";
            DeleteFileW(log);
            {
                CScopedVariable logging(kUplarkStepLogVariable, log);
                UplarkRun next(folder, [&] { return ResumeUpdateAtStart(folder.Path()); });
                EXPECT_EQ(0u, next.Finish());
            }
            for (const std::string& step : Lines(log)) {
                if (step.find("Tessaly.zip") != std::string::npos)
                    break;
                resumed.push_back(step);
            }
            m_held.Reset();
        }
        ASSERT_FALSE(resumed.empty());
        for (size_t m = 1; m <= resumed.size(); ++m) {
            SCOPED_TRACE(testing::Message()
                         << "killed before step " << noted << ": " << steps[noted - 1]
                         << ", then its resumed run before step " << m << ": " << resumed[m - 1]);
            ProgramFolder folder;
            const Tree before = Prepare(folder);
            KillFirstRun(folder, noted, steps[noted - 1]);
            PackageGone();
            {
                CScopedVariable stop(kUplarkStopAtVariable, m);
                UplarkRun next(folder, [&] { return ResumeUpdateAtStart(folder.Path()); });
                EXPECT_EQ(kUplarkStoppedExitCode, next.FinishStopped());
            }
            ExpectWorking(folder, m_entries);
            Settle(folder, before);
            if (testing::Test::HasFailure())
                return;
        }
    }

    // The state of a run killed just after it wrote its note: the next
    // start resumes it from there.
    void KillJustAfterTheNote(const ProgramFolder& folder)
    {
        const std::vector<std::string> steps = WholeRun();
        const size_t noted = AfterNoteWritten(steps, 1);
        ASSERT_NE(0u, noted);
        Prepare(folder);
        KillFirstRun(folder, noted, steps[noted - 1]);
    }

    // The state of a run killed just after the first step that isStep
    // names.
    void KillJustAfter(const ProgramFolder& folder, const std::function<bool(const std::string&)>& isStep)
    {
        const std::vector<std::string> steps = WholeRun();
        const auto found = std::find_if(steps.begin(), steps.end(), isStep);
        ASSERT_TRUE(found != steps.end() && found + 1 != steps.end());
        const size_t after = static_cast<size_t>(found - steps.begin()) + 2;
        Prepare(folder);
        KillFirstRun(folder, after, steps[after - 1]);
    }

private:
    CString Order() const { return kOrder + m_package.md5; }

    void Serve()
    {
        m_server.Reset();
        m_server.PutFile(kPackagePath, m_package.bytes);
    }
    void PackageGone()
    {
        m_server.Reset();
        m_server.AddRoute(R"({"path": "/update/Tessaly.zip", "status": 404})");
    }

    // The old installation, the package served, and the library held when
    // the path asks for it: open for writing by anyone, so the wait for it
    // ends at once, but neither to be renamed nor deleted.
    Tree Prepare(const ProgramFolder& folder)
    {
        InstallOld(folder);
        Serve();
        m_held.Reset();
        if (m_holdLibrary) {
            m_held.Reset(CreateFileW(folder / L"Dunmere.dll", GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
            EXPECT_TRUE(m_held);
        }
        return folder.Files();
    }

    // The step after the count-th rename of the note into place (1-based);
    // 0 when there is none.
    static size_t AfterNoteWritten(const std::vector<std::string>& steps, int count)
    {
        for (size_t i = 0; i < steps.size(); ++i) {
            if (steps[i].compare(0, 12, "MoveFileExW ") == 0 &&
                steps[i].find("Tessaly.state.new") != std::string::npos && --count == 0)
                return i + 2 <= steps.size() ? i + 2 : 0;
        }
        return 0;
    }

    void KillFirstRun(const ProgramFolder& folder, size_t n, const std::string& step)
    {
        const CString log = m_logs / L"killed.txt";
        DeleteFileW(log);
        {
            CScopedVariable stop(kUplarkStopAtVariable, n);
            CScopedVariable logging(kUplarkStepLogVariable, log);
            UplarkRun run(folder, Order());
            EXPECT_EQ(kUplarkStoppedExitCode, run.FinishStopped());
        }
        // It ended just before the step, after the same steps as the run to
        // the end.
        const std::vector<std::string> done = Lines(log);
        ASSERT_EQ(n, done.size());
        EXPECT_EQ(step.substr(0, step.find(' ')), done.back().substr(0, done.back().find(' ')));
    }

    // The next start with no package to fetch settles a noted update: the
    // folder is then the old installation or the whole update. A later
    // check, with the package served and the library free, ends it.
    void Settle(const ProgramFolder& folder, const Tree& before)
    {
        PackageGone();
        const bool noted = FileExists(folder / L"Temp\\Tessaly.state");
        {
            UplarkRun next(
                folder, [&] { return ResumeUpdateAtStart(folder.Path()); }, UplarkRun::kMayStartNothing);
            EXPECT_EQ(noted, next.Started());
            if (next.Started()) {
                EXPECT_EQ(0u, next.Finish());
            }
        }
        EXPECT_FALSE(FileExists(folder / L"Temp\\Tessaly.state")) << "the next start left the update noted";
        if (folder.AutoUpdate() == "0") {
            ::ExpectUpdated(folder);
        } else {
            ExpectUnchanged(folder, before);
        }
        m_held.Reset();
        Serve();
        // The old program still finds the new version and starts the
        // updater; the new one finds nothing to do.
        if (folder.AutoUpdate() != "0") {
            UplarkRun next(folder, [&] { return StartUpdater(folder.Path(), m_package.md5); });
            EXPECT_EQ(0u, next.Finish());
        }
        ExpectEnd(folder, before);
    }

    void ExpectUnchanged(const ProgramFolder& folder, const Tree& before) const
    {
        EXPECT_EQ(before, folder.Files());
        EXPECT_EQ("1", folder.AutoUpdate());
    }

    void ExpectEnd(const ProgramFolder& folder, const Tree& before) const
    {
        if (m_end == EndState::Updated) {
            ::ExpectUpdated(folder);
            return;
        }
        ExpectUnchanged(folder, before);
        for (const wchar_t* work :
             {L"Temp\\TessalyUpdate", L"Temp\\Tessaly.zip", L"Temp\\Tessaly.state", L"Temp\\TessalyOld"})
            EXPECT_FALSE(FileExists(folder / work)) << CString(work).ToUtf8();
    }

    CTestServer& m_server;
    Entries m_entries;
    Package m_package;
    EndState m_end;
    bool m_holdLibrary;
    CFileHandle m_held;
    CTempFolder m_logs;
};

// The package with a web page for the library: refused as a whole.
Entries RefusedPackage()
{
    Entries entries = UpdateWithUpdater();
    for (auto& entry : entries) {
        if (entry.first == "Dunmere.dll")
            entry.second = "<html><body>502 Bad Gateway</body></html>";
    }
    return entries;
}

TEST_F(UplarkKillSweep, TheUpdateThatGoesIn)
{
    CKillSweep(server, UpdateWithUpdater(), EndState::Updated, false).SweepFirstRun();
}

TEST_F(UplarkKillSweep, TheUpdateThatUndoesItself)
{
    CKillSweep(server, UpdateWithUpdater(), EndState::Updated, true).SweepFirstRun();
}

TEST_F(UplarkKillSweep, ThePackageThatIsRefused)
{
    CKillSweep(server, RefusedPackage(), EndState::Unchanged, false).SweepFirstRun();
}

TEST_F(UplarkKillSweep, AResumedInstallKilledAgain)
{
    CKillSweep(server, UpdateWithUpdater(), EndState::Updated, false).SweepResumedRun(1);
}

TEST_F(UplarkKillSweep, AResumedUndoKilledAgain)
{
    // The second writing of the note turns it to "undo".
    CKillSweep(server, UpdateWithUpdater(), EndState::Updated, true).SweepResumedRun(2);
}

// The folder as a quoted argument: without its trailing backslash, which
// would escape the closing quote.
CString QuotedFolder(const ProgramFolder& folder)
{
    return L"\"" + folder.Path().Left(folder.Path().GetLength() - 1) + L"\"";
}

// The main program's own part of an update, run by updater_hand_off
// (ProgramHandOff.cpp) with the step hook: "start" or "check" in a
// program folder, ended before its step stopAt when that is not 0. Its exit
// code (kUplarkStoppedExitCode when it was stopped).
DWORD RunHandOff(const ProgramFolder& folder, const CString& arguments, size_t stopAt,
                 const CString& log = CString())
{
    CScopedVariable stop(kUplarkStopAtVariable, stopAt);
    CScopedVariable logging(kUplarkStepLogVariable, log);
    const CString program = BinFolder() + L"updater_hand_off.exe";
    CString command = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!StartProcess(program, command.GetBuffer(command.GetLength()), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.Path(), &startup, &started)) {
        ADD_FAILURE() << "cannot start updater_hand_off.exe: " << GetLastError();
        return 999;
    }
    CHandle process(started.hProcess);
    CloseHandle(started.hThread);
    if (WaitForSingleObject(process, kPatience) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "updater_hand_off.exe did not end";
        TerminateProcess(process, 99);
        return 999;
    }
    DWORD code = 999;
    GetExitCodeProcess(process, &code);
    return code;
}

// The program's start, ended before each of its steps in turn on the same
// folder (each run goes one step further), until a run ends by itself.
// After each run the updater is in its place or set aside, old or new.
void StartKilledAtEachStep(const ProgramFolder& folder, const std::string& oldUpdater,
                           const std::string& newUpdater)
{
    for (size_t m = 1;; ++m) {
        SCOPED_TRACE(testing::Message() << "the program's start ended before its step " << m);
        const DWORD code = RunHandOff(folder, L"start " + QuotedFolder(folder), m);
        const CString updater =
            FileExists(folder / L"Uplark.exe") ? folder / L"Uplark.exe" : folder / L"Temp\\Uplark.exe.old";
        const std::string bytes = FileExists(updater) ? ReadFileBytes(updater) : std::string();
        EXPECT_TRUE(bytes == oldUpdater || bytes == newUpdater) << "the updater is " << Shown(bytes);
        if (code != kUplarkStoppedExitCode) {
            EXPECT_EQ(0u, code);
            EXPECT_TRUE(FileExists(folder / L"Uplark.exe")) << "the start did not put the updater back";
            return;
        }
        if (m > 20) {
            ADD_FAILURE() << "the program's start never ends";
            return;
        }
    }
}

TEST_F(UplarkKillSweep, TheProgramsOwnPart)
{
    // The installed updater is this build's with a mark behind its image,
    // so that the one the updater package brings can be told from it.
    const std::string newUpdater = BinFile(L"Uplark.exe");
    const std::string oldUpdater = newUpdater + "installed build";
    CTempFolder scratch;
    WriteZip(scratch / L"Uplark.zip", {{"Uplark.exe", newUpdater}});
    const Package main = MakePackage(Update());
    const auto serve = [&] {
        server.Reset();
        server.PutFile("/update/Uplark.zip", ReadFileBytes(scratch / L"Uplark.zip"));
        server.PutFile(kPackagePath, main.bytes);
        server.PutFile(
            "/version/RODiruder.html",
            "success | main_version=9.9.9.9 | dll_version=1.0.0.2 | main_md5=" + main.md5.ToUtf8() +
                " | dll_md5=" + ComputeFileMd5(scratch / L"Uplark.zip").ToUtf8());
    };
    const CString site = server.Url("/");
    const auto check = [&](const ProgramFolder& folder) {
        return L"check " + QuotedFolder(folder) + L" " + site + L" 1.0.0.1";
    };
    const auto prepare = [&](const ProgramFolder& folder) {
        InstallOld(folder);
        WriteFileBytes(folder / L"Uplark.exe", oldUpdater);
        serve();
    };

    // One check to the end: the new updater is swapped in, then started
    // with the main update.
    const CString log = scratch / L"steps.txt";
    std::vector<std::string> steps;
    {
        ProgramFolder folder;
        prepare(folder);
        EXPECT_EQ(0u, RunHandOff(folder, check(folder), 0, log));
        ::ExpectUpdated(folder);
        EXPECT_EQ(Shown(newUpdater), Shown(ReadFileBytes(folder / L"Uplark.exe")));
        steps = Lines(log);
    }
    ASSERT_FALSE(steps.empty());
    ASSERT_EQ(0u, steps.back().find("ShellExecuteExW ")) << "the hand-off is the check's last step";

    for (size_t n = 1; n <= steps.size(); ++n) {
        SCOPED_TRACE(testing::Message() << "the check ended before step " << n << ": " << steps[n - 1]);
        ProgramFolder folder;
        prepare(folder);
        const Tree before = folder.Files();
        const CString killed = scratch / L"killed.txt";
        DeleteFileW(killed);
        EXPECT_EQ(kUplarkStoppedExitCode, RunHandOff(folder, check(folder), n, killed));
        ASSERT_EQ(n, Lines(killed).size());
        // The main update was not handed over yet: the rest is untouched.
        Tree rest = folder.Files();
        Tree untouched = before;
        rest.erase("Uplark.exe");
        untouched.erase("Uplark.exe");
        EXPECT_EQ(untouched, rest);
        // The next start, with nothing to fetch, needs nothing but the
        // files it has; a later check ends the update.
        server.Reset();
        StartKilledAtEachStep(folder, oldUpdater, newUpdater);
        serve();
        EXPECT_EQ(0u, RunHandOff(folder, check(folder), 0));
        ::ExpectUpdated(folder);
        EXPECT_EQ(Shown(newUpdater), Shown(ReadFileBytes(folder / L"Uplark.exe")));
        if (HasFailure())
            return;
    }
}

TEST_F(UplarkKillSweep, TheProgramsStartAfterTheUpdaterWentAside)
{
    // The updater was ended while its own file was aside and the new one
    // not yet in: only the program's start can put it back, and hand the
    // noted update over.
    CKillSweep sweep(server, UpdateWithUpdater(), EndState::Updated, false);
    ProgramFolder folder;
    sweep.KillJustAfter(folder, [](const std::string& step) {
        return step.compare(0, 12, "MoveFileExW ") == 0 && step.find("TessalyUpdate") == std::string::npos &&
               step.size() >= 11 && step.compare(step.size() - 11, 11, "\\Uplark.exe") == 0;
    });
    ASSERT_FALSE(FileExists(folder / L"Uplark.exe"));
    ASSERT_TRUE(FileExists(folder / L"Temp\\Uplark.exe.old"));
    ASSERT_TRUE(FileExists(folder / L"Temp\\Tessaly.state"));
    server.Reset();
    server.AddRoute(R"({"path": "/update/Tessaly.zip", "status": 404})");
    const std::string updater = BinFile(L"Uplark.exe");
    StartKilledAtEachStep(folder, updater, updater);
    ::ExpectUpdated(folder);
}

TEST_F(Uplark, ASettingThatCannotBeWrittenLeavesTheUpdateNoted)
{
    const Package package = MakePackage(Update());
    Serve(package);
    // A folder where the settings file belongs.
    ASSERT_TRUE(DeleteFileW(program.Settings()));
    ASSERT_TRUE(CreateDirectoryW(program.Settings(), nullptr));
    EXPECT_EQ(0u, RunToEnd(program, OrderFor(package)));
    EXPECT_EQ(Shown(Programs().newProgram), Shown(ReadFileBytes(program / L"Ravonyx.exe")));
    // Not done until the settings say so: the next start finishes it, with
    // nothing to fetch.
    EXPECT_TRUE(FileExists(program / L"Temp\\Tessaly.state"));
    FinishAtNextStartOnceTheSettingsCanBeWritten();
}

TEST_F(Uplark, APackageNeverTakesThePlaceOfTheUpdatersNoteOrBackups)
{
    // The package brings a note of its own, which says to undo the update
    // with "backups" it brings too.
    const std::string page = "<html><body>502 Bad Gateway</body></html>";
    CTempFolder scratch;
    WriteFileBytes(scratch / L"page", page);
    const std::string pageMd5 = ComputeFileMd5(scratch / L"page").ToUtf8();
    Entries entries = Update();
    entries.push_back({"Temp/Tessaly.state",
                       "undo\r\n" + pageMd5 + "\r\nRavonyx.exe\r\nDunmere.dll\r\nbackup Ravonyx.exe " +
                           pageMd5 + "\r\nbackup Dunmere.dll " + pageMd5 + "\r\nend\r\n"});
    entries.push_back({"Temp/TessalyOld/Ravonyx.exe", page});
    entries.push_back({"Temp/TessalyOld/Dunmere.dll", page});
    const Package package = MakePackage(entries);
    Serve(package);
    // A folder where the settings file belongs: the run stops before its
    // last step, as a kill there would, and leaves the update noted.
    ASSERT_TRUE(DeleteFileW(program.Settings()));
    ASSERT_TRUE(CreateDirectoryW(program.Settings(), nullptr));
    EXPECT_EQ(0u, RunToEnd(program, OrderFor(package)));
    const std::vector<std::string> note = Lines(program / L"Temp\\Tessaly.state");
    ASSERT_FALSE(note.empty());
    EXPECT_EQ("install\r", note[0]);
    EXPECT_EQ(Shown(Programs().oldProgram), Shown(ReadFileBytes(program / L"Temp\\TessalyOld\\Ravonyx.exe")));
    // The next start, with nothing to fetch, finishes the update it noted.
    FinishAtNextStartOnceTheSettingsCanBeWritten();
}

TEST_F(Uplark, AResumedInstallChecksTheProgramFilesAgain)
{
    CKillSweep sweep(server, UpdateWithUpdater(), EndState::Updated, false);
    ProgramFolder folder;
    sweep.KillJustAfterTheNote(folder);
    ASSERT_TRUE(FileExists(folder / L"Temp\\Tessaly.state"));
    // Meanwhile the unpacked library became a web page.
    folder.Put("Temp/TessalyUpdate/Dunmere.dll", "<html><body>502 Bad Gateway</body></html>");
    server.Reset();
    server.AddRoute(R"({"path": "/update/Tessaly.zip", "status": 404})");
    UplarkRun next(folder, [&] { return ResumeUpdateAtStart(folder.Path()); });
    EXPECT_EQ(0u, next.Finish());
    EXPECT_EQ(std::vector<std::wstring>{L"发生严重错误，无法进行解压！"}, next.Boxes());
    EXPECT_EQ(Shown(Programs().oldProgram), Shown(ReadFileBytes(folder / L"Ravonyx.exe")));
    EXPECT_EQ(Shown(Programs().oldLibrary), Shown(ReadFileBytes(folder / L"Dunmere.dll")));
    EXPECT_EQ("1", folder.AutoUpdate());
    for (const wchar_t* work : {L"Temp\\TessalyUpdate", L"Temp\\Tessaly.state", L"Temp\\TessalyOld"})
        EXPECT_FALSE(FileExists(folder / work)) << CString(work).ToUtf8();
}

// The main program's update check reads the updater's ProductVersion through
// the first entry of its Translation table.
TEST(UplarkFile, CarriesItsVersionAndIcon)
{
    const CString path = BinFolder() + L"Uplark.exe";
    CString version;
    ASSERT_TRUE(GetFileProductVersion(path, version));
    EXPECT_EQ(UPLARK_PRODUCT_VERSION, version.ToUtf8());
    HMODULE file = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(file);
    EXPECT_TRUE(FindResourceW(file, MAKEINTRESOURCEW(1), RT_GROUP_ICON));
    FreeLibrary(file);
}

// This build's program files pass the updater's check, so that an update
// made of them is taken.
TEST(UplarkFile, ThisBuildsProgramFilesAreWholePrograms)
{
    const CString bin = BinFolder();
    EXPECT_TRUE(IsWholeProgramImage(bin + L"Ravonyx.exe", ProgramImageKind::Program));
    EXPECT_TRUE(IsWholeProgramImage(bin + L"Dunmere.dll", ProgramImageKind::Library));
    EXPECT_TRUE(IsWholeProgramImage(bin + L"Uplark.exe", ProgramImageKind::Program));
}

// The stand-in extractor gives every exit code; it logs its command line.
class UplarkWithStandInExtractor : public ::testing::Test {
protected:
    void SetUp() override { server.Reset(); }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", nullptr);
        SetEnvironmentVariableW(L"RAVONYX_STUB_COMMAND_LOG", nullptr);
    }

    CTestServer& server = CTestServer::Instance();
    ProgramFolder program{L"extract_stub.exe"};
    CTempFolder logs;
};

TEST_F(UplarkWithStandInExtractor, EachFailureIsToldOnEveryTry)
{
    const Package package = MakePackage(Update());
    server.PutFile(kPackagePath, package.bytes);
    program.Put("Ravonyx.exe", "old program");
    const Tree before = program.Files();
    const struct {
        const wchar_t* code;
        const wchar_t* message; // nullptr: no message box
    } rows[] = {
        {L"1", L"警告：文件可能被其他进程占用，无法进行解压！"},
        {L"2", L"发生严重错误，无法进行解压！"},
        {L"7", L"命令行错误，无法进行解压！"},
        {L"8", L"内存不够，无法进行解压！"},
        {L"255", L"用户主动停止进程，无法进行解压！"},
        {L"3", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(CString(row.code).ToUtf8());
        server.Reset();
        SetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", row.code);
        UplarkRun run(program, kOrder + package.md5);
        EXPECT_EQ(0u, run.Finish());
        const std::vector<std::wstring> expected(row.message ? 10 : 0, row.message ? row.message : L"");
        EXPECT_EQ(expected, run.Boxes());
        EXPECT_EQ(10u, server.Requests(kPackagePath).size());
        EXPECT_EQ(before, program.Files());
        EXPECT_EQ("1", program.AutoUpdate());
        EXPECT_FALSE(FileExists(program / L"Temp\\Tessaly.zip"));
    }
}

TEST_F(UplarkWithStandInExtractor, RunsTheExtractorWithoutAPassword)
{
    const Package package = MakePackage(Update());
    server.PutFile(kPackagePath, package.bytes);
    SetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", L"0");
    SetEnvironmentVariableW(L"RAVONYX_STUB_COMMAND_LOG", logs / L"command.txt");
    EXPECT_EQ(0u, RunToEnd(program, kOrder + package.md5));
    const CString work = program / L"Temp\\";
    const CString expected =
        L"Extract.dll x \"" + work + L"Tessaly.zip\" -o\"" + work + L"TessalyUpdate\\\" *.* -r -y";
    EXPECT_EQ(expected.ToUtf8(), ReadFileBytes(logs / L"command.txt"));
    EXPECT_EQ(1u, server.Requests(kPackagePath).size());
}

} // namespace
