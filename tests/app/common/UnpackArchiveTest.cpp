#include "app/common/UnpackArchive.h"

#include "ZipFixture.h"
#include "base/StartProcess.h"
#include "tests/support/ProcessDialog.h"
#include "tests/support/TempFolder.h"

#include "base/Handle.h"
#include "base/Thread.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr DWORD kPatience = 30000; // ms; only reached when something hangs
constexpr DWORD kLookAgain = 50;
constexpr DWORD kProbeUnpacked = 10;
constexpr DWORD kProbeFailed = 20;

const wchar_t kBusy[] = L"警告：文件可能被其他进程占用，无法进行解压！";
const wchar_t kSevere[] = L"发生严重错误，无法进行解压！";
const wchar_t kCommandLine[] = L"命令行错误，无法进行解压！";
const wchar_t kMemory[] = L"内存不够，无法进行解压！";
const wchar_t kStopped[] = L"用户主动停止进程，无法进行解压！";

CString ProgramFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const CString program = path;
    return program.Left(program.ReverseFind(L'\\') + 1);
}

struct UnpackOutcome {
    DWORD probeExit = 0;
    bool boxShown = false;
    std::wstring boxText;
};

// Runs UnpackArchive in unpack_probe.exe from probeFolder (its extractor is
// the Extract.dll beside it). A watcher thread waits until the probe sits in
// a message loop, which it only does in a message box, then reads the box and
// answers it with OK.
UnpackOutcome RunUnpack(const CString& probeFolder, const CString& archive, const CString& folder,
                        const CString& password)
{
    SetEnvironmentVariableW(L"RAVONYX_UNPACK_ARCHIVE", archive);
    SetEnvironmentVariableW(L"RAVONYX_UNPACK_FOLDER", folder);
    SetEnvironmentVariableW(L"RAVONYX_UNPACK_PASSWORD", password);
    const CString probe = probeFolder + L"unpack_probe.exe";
    CString command = L"\"" + probe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    UnpackOutcome outcome;
    if (!StartProcess(probe, command.GetBuffer(command.GetLength()), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
        ADD_FAILURE() << "cannot start unpack_probe.exe: " << GetLastError();
        return outcome;
    }
    CHandle process(started.hProcess);
    CHandle thread(started.hThread);

    CHandle watcher = StartThread([&] {
        if (WaitForInputIdle(process, kPatience) != 0)
            return;
        // Idle means the box's own message loop runs; should the system call
        // the probe idle any earlier, look again while it is still running.
        for (DWORD waited = 0; waited < kPatience; waited += kLookAgain) {
            if (HWND box = FindMessageBox(started.dwProcessId)) {
                wchar_t text[256] = {};
                GetDlgItemTextW(box, 0xFFFF, text, 256);
                outcome.boxShown = true;
                outcome.boxText = text;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            if (WaitForSingleObject(process, kLookAgain) == WAIT_OBJECT_0)
                return;
        }
    });
    if (WaitForSingleObject(process, kPatience) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "unpack_probe.exe did not end";
        TerminateProcess(process, 99);
        WaitForSingleObject(process, kPatience);
    }
    WaitForSingleObject(watcher, kPatience);
    GetExitCodeProcess(process, &outcome.probeExit);
    return outcome;
}

// A folder holding the probe and, unless extractor is empty, a copy of the
// named program as its Extract.dll.
class ProbeFolder {
public:
    explicit ProbeFolder(const wchar_t* extractor)
    {
        const CString bin = ProgramFolder();
        EXPECT_TRUE(CopyFileW(bin + L"unpack_probe.exe", m_folder / L"unpack_probe.exe", FALSE));
        if (*extractor) {
            EXPECT_TRUE(CopyFileW(bin + extractor, m_folder / L"Extract.dll", FALSE));
        }
    }
    const CString& Path() const { return m_folder.Path(); }

private:
    CTempFolder m_folder;
};

class StandInExtractor : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const wchar_t* name : {L"RAVONYX_STUB_EXIT_CODE", L"RAVONYX_STUB_COMMAND_LOG",
                                    L"RAVONYX_STUB_STARTED", L"RAVONYX_STUB_RELEASE", L"RAVONYX_STUB_ALIVE",
                                    L"RAVONYX_UNPACK_LIMIT_MS", L"RAVONYX_UNPACK_WINDOW"})
            SetEnvironmentVariableW(name, nullptr);
    }

    // Starts the probe with a stand-in extractor that signals its start and
    // then waits for the release event (or its own minute).
    CHandle StartStuckUnpack()
    {
        const std::wstring tag = std::to_wstring(GetCurrentProcessId());
        const std::wstring startedName = L"RavonyxStubStarted" + tag;
        const std::wstring releaseName = L"RavonyxStubRelease" + tag;
        aliveName = L"RavonyxStubAlive" + tag;
        started.Reset(CreateEventW(nullptr, TRUE, FALSE, startedName.c_str()));
        release.Reset(CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str()));
        SetEnvironmentVariableW(L"RAVONYX_STUB_STARTED", startedName.c_str());
        SetEnvironmentVariableW(L"RAVONYX_STUB_RELEASE", releaseName.c_str());
        SetEnvironmentVariableW(L"RAVONYX_STUB_ALIVE", aliveName.c_str());
        SetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", L"0");
        SetEnvironmentVariableW(L"RAVONYX_UNPACK_ARCHIVE", work / L"a.zip");
        SetEnvironmentVariableW(L"RAVONYX_UNPACK_FOLDER", work / L"out\\");
        SetEnvironmentVariableW(L"RAVONYX_UNPACK_PASSWORD", L"");
        const CString program = probe.Path() + L"unpack_probe.exe";
        CString command = L"\"" + program + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (!StartProcess(program, command.GetBuffer(command.GetLength()), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &info)) {
            ADD_FAILURE() << "cannot start unpack_probe.exe: " << GetLastError();
            return CHandle();
        }
        CloseHandle(info.hThread);
        return CHandle(info.hProcess);
    }

    // The stand-in extractor's process is gone.
    bool ExtractorEnded() const
    {
        HANDLE alive = OpenMutexW(SYNCHRONIZE, FALSE, aliveName.c_str());
        if (alive)
            CloseHandle(alive);
        return alive == nullptr;
    }

    CHandle started;
    CHandle release;
    std::wstring aliveName;

    ProbeFolder probe{L"extract_stub.exe"};
    CTempFolder work;
};

TEST_F(StandInExtractor, CommandLineWithAndWithoutPassword)
{
    const CString log = work / L"command.txt";
    SetEnvironmentVariableW(L"RAVONYX_STUB_COMMAND_LOG", log);
    SetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", L"0");
    const CString archive = work / L"主题 1.zip";
    const CString folder = work / L"theme\\";
    const struct {
        const wchar_t* password;
        CString expected;
    } rows[] = {
        {L"", L"Extract.dll x \"" + archive + L"\" -o\"" + folder + L"\" *.* -r -y"},
        {L"a1_Zq9", L"Extract.dll x \"" + archive + L"\" -o\"" + folder + L"\" *.* -r -y -pa1_Zq9"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(CString(row.password).ToUtf8());
        const UnpackOutcome outcome = RunUnpack(probe.Path(), archive, folder, row.password);
        EXPECT_EQ(kProbeUnpacked, outcome.probeExit);
        EXPECT_FALSE(outcome.boxShown);
        EXPECT_EQ(row.expected.ToUtf8(), ReadFileBytes(log));
    }
}

TEST_F(StandInExtractor, EachFailureCodeAndItsMessage)
{
    const struct {
        const wchar_t* code;
        const wchar_t* message; // nullptr: no message box
    } rows[] = {
        {L"1", kBusy},      {L"2", kSevere}, {L"7", kCommandLine}, {L"8", kMemory},
        {L"255", kStopped}, {L"3", nullptr}, {L"9", nullptr},      {L"256", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(CString(row.code).ToUtf8());
        SetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", row.code);
        const UnpackOutcome outcome = RunUnpack(probe.Path(), work / L"a.zip", work / L"out\\", L"");
        EXPECT_EQ(kProbeFailed, outcome.probeExit);
        EXPECT_EQ(row.message != nullptr, outcome.boxShown);
        if (row.message) {
            EXPECT_EQ(std::wstring(row.message), outcome.boxText);
        }
    }
}

TEST_F(StandInExtractor, ExtractorStillRunningAfterTheLimitIsEnded)
{
    SetEnvironmentVariableW(L"RAVONYX_UNPACK_LIMIT_MS", L"1500");
    CHandle process = StartStuckUnpack();
    ASSERT_TRUE(process);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started, kPatience));
    const DWORD since = GetTickCount();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, kPatience));
    EXPECT_GE(GetTickCount() - since, 1000u);
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    // False, without a message box (the probe would still be showing it).
    EXPECT_EQ(kProbeFailed, exitCode);
    EXPECT_TRUE(ExtractorEnded());
}

TEST_F(StandInExtractor, MessagesSentToTheWaitingThreadAreAnswered)
{
    SetEnvironmentVariableW(L"RAVONYX_UNPACK_WINDOW", L"1");
    CHandle process = StartStuckUnpack();
    ASSERT_TRUE(process);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started, kPatience));
    HWND window = FindWindowW(L"RavonyxUnpackProbe", nullptr);
    ASSERT_NE(nullptr, window);
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutW(window, WM_APP, 0, 0, SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(42u, answer);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(process, 0));

    SetEvent(release);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, kPatience));
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    EXPECT_EQ(kProbeUnpacked, exitCode);
}

TEST(UnpackArchive, MissingExtractorFailsWithoutAMessage)
{
    ProbeFolder probe(L"");
    CTempFolder work;
    const UnpackOutcome outcome = RunUnpack(probe.Path(), work / L"a.zip", work / L"out\\", L"");
    EXPECT_EQ(kProbeFailed, outcome.probeExit);
    EXPECT_FALSE(outcome.boxShown);
}

// The real extractor, Extract.dll beside this program and the probe.
class RealExtractor : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!FileExists(ProgramFolder() + L"Extract.dll"))
            GTEST_SKIP() << "Extract.dll is not built";
    }

    UnpackOutcome Unpack(const CString& archive, const CString& folder, const CString& password)
    {
        return RunUnpack(ProgramFolder(), archive, folder, password);
    }

    CTempFolder work;
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"Resources/Themes/蓝色.theme", "[Theme]\r\nDisplayName=蓝色\r\n"},
        {"WALLPAPER/1.jpg", std::string(5000, 'j')},
        {"readme.txt", "hello"},
    };

    void ExpectUnpacked(const CString& folder)
    {
        EXPECT_EQ(entries[0].second, ReadFileBytes(folder + L"Resources\\Themes\\蓝色.theme"));
        EXPECT_EQ(entries[1].second, ReadFileBytes(folder + L"WALLPAPER\\1.jpg"));
        EXPECT_EQ(entries[2].second, ReadFileBytes(folder + L"readme.txt"));
    }
};

TEST_F(RealExtractor, UnpacksWithAndWithoutPassword)
{
    WriteZip(work / L"plain.zip", entries);
    WriteZip(work / L"locked.zip", entries, "k3y_49");
    UnpackOutcome outcome = Unpack(work / L"plain.zip", work / L"plain\\", L"");
    EXPECT_EQ(kProbeUnpacked, outcome.probeExit);
    EXPECT_FALSE(outcome.boxShown);
    ExpectUnpacked(work / L"plain\\");

    outcome = Unpack(work / L"locked.zip", work / L"主题\\", L"k3y_49");
    EXPECT_EQ(kProbeUnpacked, outcome.probeExit);
    EXPECT_FALSE(outcome.boxShown);
    ExpectUnpacked(work / L"主题\\");
}

TEST_F(RealExtractor, FailuresAreShownWithTheirMessage)
{
    WriteZip(work / L"locked.zip", entries, "k3y_49");
    WriteZip(work / L"plain.zip", entries);
    const std::string whole = ReadFileBytes(work / L"plain.zip");
    WriteFileBytes(work / L"damaged.zip", whole.substr(0, whole.size() / 2));
    // A file where the archive needs a folder cannot be written through.
    ASSERT_TRUE(CreateDirectoryW(work / L"blocked", nullptr));
    WriteFileBytes(work / L"blocked\\WALLPAPER", "in the way");

    const struct {
        const wchar_t* archive;
        const wchar_t* folder;
        const wchar_t* password;
        const wchar_t* message;
    } rows[] = {
        {L"locked.zip", L"wrong\\", L"guess", kSevere}, {L"locked.zip", L"none\\", L"", kSevere},
        {L"damaged.zip", L"damaged\\", L"", kSevere},   {L"absent.zip", L"absent\\", L"", kSevere},
        {L"plain.zip", L"blocked\\", L"", kBusy},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(CString(row.archive).ToUtf8() + " " + CString(row.folder).ToUtf8());
        const UnpackOutcome outcome = Unpack(work / row.archive, work / row.folder, row.password);
        EXPECT_EQ(kProbeFailed, outcome.probeExit);
        EXPECT_TRUE(outcome.boxShown);
        EXPECT_EQ(std::wstring(row.message), outcome.boxText);
    }
    // An empty folder makes a command line the extractor refuses.
    const UnpackOutcome outcome = Unpack(work / L"plain.zip", L"", L"");
    EXPECT_EQ(kProbeFailed, outcome.probeExit);
    EXPECT_EQ(kCommandLine, outcome.boxText);
}

} // namespace
