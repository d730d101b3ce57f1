// Changing the download folder: the product folder "Ravonyx" moves with it,
// and nothing of the user's downloads is lost on any path.

#include <windows.h>

#include "base/StartProcess.h"
#include "tests/support/ScopedVariable.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/Handle.h"
#include "tools/uplarkhook/StepHook.h"

#include "app/common/ConfigCodec.h"
#include "app/common/FileUtils.h"
#include "app/dialogs/FolderIdentity.h"
#include "app/dialogs/FolderMove.h"
#include "app/startup/Configuration.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/DownloadRoot.h"
#include "tests/app/dialogs/SetupFixture.h"

namespace {

using Tree = std::map<std::string, std::string>; // relative path -> contents

void ListTree(const CString& folder, const std::string& relative, Tree& tree)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder + CString::FromUtf8(relative.c_str()) + L"*", &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = CString(found.cFileName).ToUtf8();
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[relative + name + "\\"] = "";
            ListTree(folder, relative + name + "\\", tree);
        } else {
            tree[relative + name] = ReadFileBytes(folder + CString::FromUtf8((relative + name).c_str()));
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

// Every folder and file under folder, with file contents.
Tree TreeOf(const CString& folder)
{
    Tree tree;
    ListTree(folder.Right(1) == L"\\" ? folder : folder + L"\\", "", tree);
    return tree;
}

void PutTree(const CString& folder, const Tree& tree)
{
    for (const auto& [path, bytes] : tree) {
        const CString full = folder + CString::FromUtf8(path.c_str());
        if (path.back() == '\\') {
            MakeFolderFor(full + L"x");
        } else {
            MakeFolderFor(full);
            WriteFileBytes(full, bytes);
        }
    }
}

// The 8.3 short form of an existing path.
CString ShortPath(const CString& path)
{
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = GetShortPathNameW(path, buffer, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? CString(buffer) : CString();
}

// The dialog's messages on the way of a move.
const wchar_t kQuestion[] = L"发现目标文件夹已经存在，覆盖此文件夹？";
const wchar_t kMoveFailed[] = L"无法移动文件到目标文件夹，请检查账户权限！";
const wchar_t kAbort[] = L"无法完整保存修改，请检查账户权限，并重新开启琅函箱！";
const wchar_t kWriteFailed[] = L"无法修改配置文件，修改配置失败！";
// The refusals of a Path, each with a message of its own.
const wchar_t kDeviceNameText[] = L"下载目录中含有系统保留的设备名称（如 con、nul、com1），请重新填写！";
const wchar_t kTrailingText[] = L"下载目录中的文件夹名称不能以空格或句点结尾，请重新填写！";
const wchar_t kNoDriveText[] = L"下载目录所在的磁盘不存在，或不是本机的固定磁盘，请重新填写！";
const wchar_t kThroughFileText[] = L"下载目录的路径上有一个同名的文件，不是文件夹，请换用其他目录！";
const wchar_t kPastMaxPathText[] = L"移动后部分文件的路径将超过系统允许的长度，请换用较短的目录！";

// The same path through Wine's Z: drive, which shows the whole Unix file
// system: another drive letter for the same folder. Empty outside Wine.
CString ThroughDriveZ(const CString& path)
{
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return CString();
    char* name = unixName(path);
    if (!name)
        return CString();
    CString z = L"Z:" + CString::FromUtf8(name);
    HeapFree(GetProcessHeap(), 0, name);
    z.Replace(L'/', L'\\');
    // Drive C: is a link to the prefix's drive_c.
    z.Replace(L"\\dosdevices\\c:", L"\\drive_c");
    if (path.Right(1) == L"\\" && z.Right(1) != L"\\")
        z += L"\\";
    return z;
}

// A fresh folder on a tmpfs (Linux's /dev/shm), another file system than
// the Wine prefix's drive C:, reached through Z:; removed afterwards.
class CTmpfsFolder {
public:
    CTmpfsFolder()
    {
        CString name;
        name.Format(L"Z:\\dev\\shm\\ravonyx-move-%lu-%lu\\", GetCurrentProcessId(), GetTickCount());
        if (CreateDirectoryW(name.Left(name.GetLength() - 1), nullptr))
            m_path = name;
    }
    CTmpfsFolder(const CTmpfsFolder&) = delete;
    CTmpfsFolder& operator=(const CTmpfsFolder&) = delete;
    ~CTmpfsFolder()
    {
        if (!m_path.IsEmpty())
            DeletePath(m_path);
    }
    const CString& Path() const { return m_path; }

private:
    CString m_path;
};

DWORD VolumeOf(const CString& folder)
{
    CFileHandle handle(CreateFileW(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!handle || !GetFileInformationByHandle(handle, &info))
        return 0xFFFFFFFF;
    return info.dwVolumeSerialNumber;
}

CString TestBinFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const CString program = path;
    return program.Left(program.ReverseFind(L'\\') + 1);
}

// Runs folder_move_probe with the arguments and waits for it: its exit
// code, or STILL_ACTIVE (and a failure) when it did not end in time.
DWORD RunProbe(const CString& arguments)
{
    const CString program = TestBinFolder() + L"folder_move_probe.exe";
    CString command = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION started = {};
    if (!StartProcess(program, command.GetBuffer(command.GetLength()), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
        ADD_FAILURE() << "folder_move_probe does not start: " << GetLastError();
        return STILL_ACTIVE;
    }
    CHandle process(started.hProcess);
    CloseHandle(started.hThread);
    if (WaitForSingleObject(process, 60000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "folder_move_probe did not end within 60 s";
        TerminateProcess(process, 1);
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

// The steps of one whole run of folder_move_probe with the arguments, as
// the step hook logs them; a failure when the run does not end with 0.
std::vector<std::string> ProbeSteps(const CString& arguments)
{
    CTempFolder logs;
    const CString log = logs / L"steps.txt";
    CScopedVariable logging(kUplarkStepLogVariable, log);
    EXPECT_EQ(0u, RunProbe(arguments)) << "the whole run";
    return Lines(log);
}

// A command-line argument; a trailing backslash is doubled so that it does
// not take the closing quote for part of the text.
CString Quoted(const CString& text)
{
    return L"\"" + text + (text.Right(1) == L"\\" ? L"\\\"" : L"\"");
}

// The number (from 1) of the first step that names text, or 0.
size_t FirstStepNaming(const std::vector<std::string>& steps, const char* text)
{
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].find(text) != std::string::npos)
            return i + 1;
    }
    return 0;
}

// The number of the step after the last one that names text, or 0.
size_t StepAfterLastNaming(const std::vector<std::string>& steps, const char* text)
{
    for (size_t i = steps.size(); i > 0; --i) {
        if (steps[i - 1].find(text) != std::string::npos)
            return i + 1;
    }
    return 0;
}

const Tree kDownloads = {
    {"Ravonyx\\", ""},          {"Ravonyx\\download\\", ""},    {"Ravonyx\\download\\a.zip", "theme a"},
    {"Ravonyx\\theme\\", ""},   {"Ravonyx\\theme\\蓝色\\", ""}, {"Ravonyx\\theme\\蓝色\\blue.theme", "blue"},
    {"Ravonyx\\desktop\\", ""}, {"Ravonyx\\ico\\", ""},
};

} // namespace

class FolderMoveTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        oldRoot = roots / L"旧目录\\";
        newRoot = roots / L"新目录";
        PutTree(oldRoot, kDownloads);
        Store(L"DownLoad", L"Path", oldRoot);
        _Module.m_strDownloadDir = oldRoot;
    }

    // Types the path on the download page and saves.
    int SaveWithPath(const CString& typed)
    {
        return RunDialog([&](CGBSetup& dialog) {
            ClickTab(dialog, 1);
            shownPath = TextOf(dialog.m_pathEdit);
            SetWindowTextW(dialog.m_pathEdit, typed);
            std::vector<CFileHandle> held;
            for (const CString& path : locked) {
                held.emplace_back(
                    CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
                EXPECT_TRUE(held.back().IsValid()) << path.ToUtf8();
            }
            ClickItem(dialog, IDC_SETUP_OK);
            held.clear();
            if (IsWindow(dialog.m_hWnd) && !dialog.m_end) {
                stayedOpen = true;
                ClickItem(dialog, IDC_SETUP_CANCEL);
            }
        });
    }

    CTempFolder roots;
    CString oldRoot;
    CString newRoot; // typed without a trailing backslash
    bool stayedOpen = false;
    CString shownPath;
    // Files another program holds open (reading, sharing only reading)
    // while saving: they can be neither written, moved nor replaced.
    std::vector<CString> locked;
};

TEST_F(FolderMoveTest, ProductFolderMovesToTheNewRoot)
{
    SaveWithPath(newRoot);
    EXPECT_EQ(oldRoot, shownPath);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(kDownloads, TreeOf(newRoot));
    EXPECT_EQ(Tree{}, TreeOf(oldRoot));
    EXPECT_EQ(newRoot, Stored(L"DownLoad", L"Path")); // as typed
    EXPECT_EQ(newRoot + L"\\", _Module.m_strDownloadDir);
}

TEST_F(FolderMoveTest, WithoutAStoredPathTheMoveStartsFromTheRootInUse)
{
    WriteFileBytes(Ini(), "");
    SaveWithPath(newRoot);
    EXPECT_EQ(CString(), shownPath);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(kDownloads, TreeOf(newRoot));
    EXPECT_EQ(Tree{}, TreeOf(oldRoot));
    EXPECT_EQ(newRoot, Stored(L"DownLoad", L"Path"));
}

TEST_F(FolderMoveTest, AnExistingProductFolderIsMergedWhenTheUserAgrees)
{
    const Tree existing = {
        {"Ravonyx\\", ""},
        {"Ravonyx\\download\\", ""},
        {"Ravonyx\\download\\a.zip", "older a"},
        {"Ravonyx\\download\\b.zip", "theme b"},
        {"Ravonyx\\theme\\", ""},
    };
    PutTree(newRoot + L"\\", existing);
    AnswerBoxes({IDYES});
    SaveWithPath(newRoot);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(CString(L"覆盖提示"), boxes[0].caption);
    EXPECT_EQ(CString(kQuestion), boxes[0].text);
    Tree merged = kDownloads;
    merged["Ravonyx\\download\\b.zip"] = "theme b"; // the moved folder's a.zip wins
    EXPECT_EQ(merged, TreeOf(newRoot));
    EXPECT_EQ(Tree{}, TreeOf(oldRoot));
    EXPECT_EQ(newRoot, Stored(L"DownLoad", L"Path"));
}

TEST_F(FolderMoveTest, RefusedMovesKeepEverythingAndEndTheDialog)
{
    const CString abort = kAbort;
    const CString moveFailed = kMoveFailed;
    struct Case {
        const char* name;
        CString typed;
        bool existingTarget;
        std::vector<int> answers;
        std::vector<CString> texts;
    };
    const Case cases[] = {
        {"into itself", oldRoot + L"Ravonyx\\download", false, {IDOK, IDOK}, {moveFailed, abort}},
        {"into itself, other case", oldRoot + L"RAVONYX", false, {IDOK, IDOK}, {moveFailed, abort}},
        {"into itself, short name",
         ShortPath(oldRoot + L"Ravonyx") + L"\\download",
         false,
         {IDOK, IDOK},
         {moveFailed, abort}},
        {"overwrite declined", newRoot, true, {IDNO, IDOK}, {kQuestion, abort}},
    };
    const Tree target = {{"Ravonyx\\", ""}, {"Ravonyx\\mine.txt", "mine"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        if (c.existingTarget)
            PutTree(newRoot + L"\\", target);
        const std::string before = IniBytes();
        AnswerBoxes(c.answers);
        EXPECT_EQ(kSetupEndCode, SaveWithPath(c.typed));
        EXPECT_FALSE(stayedOpen);
        ASSERT_EQ(c.texts.size(), boxes.size());
        for (size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(c.texts[i], boxes[i].text) << i;
            if (boxes[i].text != kQuestion) {
                EXPECT_EQ(CString(L"错误信息"), boxes[i].caption);
            }
        }
        EXPECT_EQ(kDownloads, TreeOf(oldRoot));
        EXPECT_EQ(c.existingTarget ? target : Tree{}, TreeOf(newRoot));
        EXPECT_EQ(before, IniBytes());
        EXPECT_EQ(oldRoot, _Module.m_strDownloadDir);
    }
}

TEST_F(FolderMoveTest, TheSameFolderWrittenOtherwiseMovesNothing)
{
    CString upper = oldRoot;
    upper.MakeUpper();
    const CString shortRoot = ShortPath(oldRoot);
    ASSERT_NE(0, shortRoot.CompareNoCase(oldRoot)) << "the temporary folder has an 8.3 name of its own";
    for (const CString& typed : {upper, oldRoot.Left(oldRoot.GetLength() - 1), shortRoot}) {
        SCOPED_TRACE(typed.ToUtf8());
        Store(L"DownLoad", L"Path", oldRoot);
        SaveWithPath(typed);
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(kDownloads, TreeOf(oldRoot));
        EXPECT_EQ(typed, Stored(L"DownLoad", L"Path"));
        _Module.m_strDownloadDir = oldRoot;
    }
}

TEST_F(FolderMoveTest, AFailedWriteOfThePathMovesTheFolderBack)
{
    // The target's own a.zip, which the merge replaces, comes back too.
    const Tree existing = {{"Ravonyx\\", ""},
                           {"Ravonyx\\mine.txt", "mine"},
                           {"Ravonyx\\download\\", ""},
                           {"Ravonyx\\download\\a.zip", "older a"}};
    for (bool merge : {false, true}) {
        SCOPED_TRACE(merge ? "merged" : "moved");
        boxes.clear();
        if (merge) {
            PutTree(newRoot + L"\\", existing);
            AnswerBoxes({IDYES, IDOK});
        } else {
            AnswerBoxes({IDOK});
        }
        const std::string before = IniBytes();
        locked = {Ini()};
        SaveWithPath(newRoot);
        locked.clear();
        EXPECT_TRUE(stayedOpen);
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(CString(kWriteFailed), boxes.back().text);
        EXPECT_EQ(before, IniBytes());
        EXPECT_EQ(kDownloads, TreeOf(oldRoot));
        EXPECT_EQ(merge ? existing : Tree{}, TreeOf(newRoot));
        EXPECT_EQ(merge, GetFileAttributesW(newRoot) !=
                             INVALID_FILE_ATTRIBUTES); // a root made for the move goes again
        EXPECT_EQ(oldRoot, _Module.m_strDownloadDir);
        stayedOpen = false;
    }
}

TEST_F(FolderMoveTest, AMoveOrMergeFailedAtAnyStepLosesNoFileOfEitherFolder)
{
    // Both of the moved folder's files meet a file of the same name.
    const Tree existing = {
        {"Ravonyx\\", ""},
        {"Ravonyx\\download\\", ""},
        {"Ravonyx\\download\\a.zip", "older a"},
        {"Ravonyx\\download\\b.zip", "theme b"},
        {"Ravonyx\\theme\\", ""},
        {"Ravonyx\\theme\\蓝色\\", ""},
        {"Ravonyx\\theme\\蓝色\\blue.theme", "older blue"},
    };
    const CString question = kQuestion;
    const CString moveFailed = kMoveFailed;
    const CString abort = kAbort;
    const CString writeFailed = kWriteFailed;
    struct Case {
        const char* name;
        CString held;
        bool settingsHeld;
        bool merge = true;
    };
    // Each file in turn, so that whatever order the merge takes, a file of
    // each folder has been dealt with before the one that fails.
    const Case cases[] = {
        {"a source file held open", oldRoot + L"Ravonyx\\download\\a.zip", false},
        {"another source file held open", oldRoot + L"Ravonyx\\theme\\蓝色\\blue.theme", false},
        {"a target file held open", newRoot + L"\\Ravonyx\\download\\a.zip", false},
        {"another target file held open", newRoot + L"\\Ravonyx\\theme\\蓝色\\blue.theme", false},
        {"the settings file held open", Ini(), true},
        // A plain move is undone the same way.
        {"a source file held open, no target", oldRoot + L"Ravonyx\\download\\a.zip", false, false},
        {"another source file held open, no target", oldRoot + L"Ravonyx\\theme\\蓝色\\blue.theme", false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeletePath(oldRoot);
        DeletePath(newRoot);
        PutTree(oldRoot, kDownloads);
        if (c.merge)
            PutTree(newRoot + L"\\", existing);
        boxes.clear();
        stayedOpen = false;
        const std::string before = IniBytes();
        std::vector<int> answers = c.settingsHeld ? std::vector<int>{IDOK} : std::vector<int>{IDOK, IDOK};
        if (c.merge)
            answers.insert(answers.begin(), IDYES);
        AnswerBoxes(answers);
        locked = {c.held};
        SaveWithPath(newRoot);
        locked.clear();
        std::vector<CString> texts;
        for (const SeenBox& box : boxes)
            texts.push_back(box.text);
        std::vector<CString> expected =
            c.settingsHeld ? std::vector<CString>{writeFailed} : std::vector<CString>{moveFailed, abort};
        if (c.merge)
            expected.insert(expected.begin(), question);
        EXPECT_EQ(expected, texts);
        EXPECT_EQ(c.settingsHeld, stayedOpen);
        EXPECT_EQ(kDownloads, TreeOf(oldRoot));
        EXPECT_EQ(c.merge ? existing : Tree{}, TreeOf(newRoot)); // nothing left aside either
        EXPECT_EQ(c.merge, DirectoryExists(newRoot));
        EXPECT_EQ(before, IniBytes());
        EXPECT_EQ(oldRoot, _Module.m_strDownloadDir);
    }
}

TEST_F(FolderMoveTest, APathTheNextStartCannotUseIsRefused)
{
    // The readers take 259 symbols: 192 bytes in the ANSI code page.
    CString longest = newRoot + L"\\";
    while (longest.ToAnsi().size() < 192)
        longest += L"长";
    if (longest.ToAnsi().size() > 192)
        longest = longest.Left(longest.GetLength() - 1) + L"x";
    ASSERT_EQ(192u, longest.ToAnsi().size());

    const CString notAbsolute = L"下载目录必须是本机磁盘上的完整路径（例如 D:\\下载），请重新填写！";
    const CString badCharacter = L"下载目录中含有文件夹名称不能使用的字符，请重新填写！";
    const CString notStorable = L"下载目录中含有无法保存的字符，请换用其他目录！";
    const CString tooLong = L"下载目录的路径太长，请换用较短的目录！";
    const CString deviceName = kDeviceNameText;
    const CString trailing = kTrailingText;
    const CString noDrive = kNoDriveText;
    const CString throughFile = kThroughFileText;
    const CString aFile = roots / L"一个文件.txt";
    WriteFileBytes(aFile, "not a folder");
    const CString fileInPlace = roots / L"有文件";
    MakeFolderFor(fileInPlace + L"\\Ravonyx");
    WriteFileBytes(fileInPlace + L"\\Ravonyx", "not a folder");
    struct Case {
        const char* name;
        CString typed;
        CString text;
    };
    const Case cases[] = {
        {"relative", L"下载", notAbsolute},
        {"relative to a drive's folder", L"D:下载", notAbsolute},
        {"blank", L"   ", notAbsolute},
        {"a blank before", L" " + newRoot, notAbsolute},
        {"a network share", L"\\\\server\\share\\下载", notAbsolute},
        {"a device", L"\\\\.\\C:\\下载", notAbsolute},
        {"a device name", L"C:\\NUL", deviceName},
        {"up a folder", newRoot + L"\\..\\其他", notAbsolute},
        {"a question mark", newRoot + L"\\是?否", badCharacter},
        {"a colon", newRoot + L"\\a:b", badCharacter},
        {"a slash", newRoot + L"/下载", badCharacter},
        {"Korean", newRoot + L"\\한국어", notStorable},
        {"Thai", newRoot + L"\\ภาษาไทย", notStorable},
        {"one byte too long", longest + L"x", tooLong},
        {"far too long", newRoot + L"\\" + CString(std::wstring(300, L'a').c_str()), tooLong},
        {"no such drive", L"Q:\\下载", noDrive},
        {"a device folder on the way", L"C:\\con\\x", deviceName},
        {"a device in the middle", newRoot + L"\\nul\\y", deviceName},
        {"a device with an extension", newRoot + L"\\com1.txt", deviceName},
        {"a clock", newRoot + L"\\clock$", deviceName},
        {"a trailing blank", newRoot + L" \\bar", trailing},
        {"a trailing dot", newRoot + L".", trailing},
        {"an existing file", aFile, throughFile},
        {"through a file", aFile + L"\\下载", throughFile},
        {"a file in the product folder's place", fileInPlace, throughFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        stayedOpen = false;
        const std::string before = IniBytes();
        AnswerBoxes({IDOK});
        SaveWithPath(c.typed);
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(c.text, boxes[0].text);
        EXPECT_EQ(CString(L"错误信息"), boxes[0].caption);
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(before, IniBytes());
        EXPECT_EQ(kDownloads, TreeOf(oldRoot));
        EXPECT_EQ(oldRoot, _Module.m_strDownloadDir);
    }

    // The longest that fits is stored, and the next start uses it as typed.
    boxes.clear();
    stayedOpen = false;
    SaveWithPath(longest);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(longest, Stored(L"DownLoad", L"Path"));
    EXPECT_EQ(kDownloads, TreeOf(longest));
    for (const wchar_t* name : {L"Dunmere.dll", L"Local\\list\\menumanage.html", L"Data\\MyThemes.xml"}) {
        MakeFolderFor(app / name);
        WriteFileBytes(app / name, "x");
    }
    _Module.m_strDownloadDir.Empty();
    EXPECT_EQ(kConfigOk, LoadConfiguration());
    EXPECT_EQ(longest + L"\\", _Module.m_strDownloadDir);
}

// A refused Path leaves the dialog as the user left it: mended, everything
// is saved at once.
TEST_F(FolderMoveTest, ARefusedPathKeepsTheUsersOtherEdits)
{
    Store(L"Common", L"AlertDown", L"0");
    AnswerBoxes({IDOK});
    RunDialog([&](CGBSetup& dialog) {
        ClickItem(dialog, IDC_SETUP_ALERTDOWN);
        ClickTab(dialog, 1);
        SetWindowTextW(dialog.m_pathEdit, L"Q:\\下载");
        ClickItem(dialog, IDC_SETUP_OK);
        ASSERT_TRUE(IsWindow(dialog.m_hWnd) && !dialog.m_end);
        EXPECT_TRUE(IsChecked(dialog, IDC_SETUP_ALERTDOWN));
        EXPECT_EQ(CString(L"Q:\\下载"), TextOf(dialog.m_pathEdit));
        SetWindowTextW(dialog.m_pathEdit, newRoot);
        ClickItem(dialog, IDC_SETUP_OK);
        EXPECT_TRUE(dialog.m_end);
    });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(CString(kNoDriveText), boxes[0].text);
    EXPECT_EQ(CString(L"1"), Stored(L"Common", L"AlertDown"));
    EXPECT_EQ(newRoot, Stored(L"DownLoad", L"Path"));
    EXPECT_EQ(kDownloads, TreeOf(newRoot));
}

// What the text alone cannot tell: the drive, and files on the way.
TEST(DownloadRoot, RefusesWhatWouldBeAnotherFolderOrNoneAtAll)
{
    CTempFolder temp;
    WriteFileBytes(temp / L"file", "x");
    struct Case {
        CString text;
        DownloadRootProblem problem;
    };
    const Case cases[] = {
        {L"Q:\\下载", DownloadRootProblem::NotFixedDrive},
        {L"C:\\con\\x", DownloadRootProblem::DeviceName},
        {L"C:\\x\\nul\\y", DownloadRootProblem::DeviceName},
        {L"C:\\x\\Aux.txt", DownloadRootProblem::DeviceName},
        {L"C:\\x\\lpt9", DownloadRootProblem::DeviceName},
        {L"C:\\x\\COM\u00B9", DownloadRootProblem::DeviceName},
        {L"C:\\x\\clock$", DownloadRootProblem::DeviceName},
        {L"C:\\x\\conout$", DownloadRootProblem::DeviceName},
        {L"C:\\foo \\bar", DownloadRootProblem::TrailingBlankOrDot},
        {L"C:\\foo.", DownloadRootProblem::TrailingBlankOrDot},
        {L"C:\\foo\\bar.\\", DownloadRootProblem::TrailingBlankOrDot},
        {temp / L"file", DownloadRootProblem::ThroughFile},
        {temp / L"file\\x\\y", DownloadRootProblem::ThroughFile},
        // What Windows takes as a folder of that name.
        {L"C:\\console\\com10\\lpt\\.x\\a b", DownloadRootProblem::None},
        {temp / L"新的\\下载", DownloadRootProblem::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<int>(c.problem), static_cast<int>(CheckDownloadRoot(c.text)))
            << c.text.ToUtf8();
    // The installer's root is taken on a drive that is not there yet.
    EXPECT_EQ(static_cast<int>(DownloadRootProblem::None),
              static_cast<int>(CheckDownloadRootText(L"Q:\\下载")));
}

TEST_F(FolderMoveTest, TheSameFolderThroughAnotherDriveLetterMovesNothing)
{
    const CString other = ThroughDriveZ(oldRoot);
    if (other.IsEmpty())
        GTEST_SKIP() << "only Wine shows a folder through another drive letter";
    ASSERT_NE(0, other.Left(2).CompareNoCase(oldRoot.Left(2)));
    const CString typed = other.Left(other.GetLength() - 1);
    SaveWithPath(typed);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(kDownloads, TreeOf(oldRoot));
    EXPECT_EQ(typed, Stored(L"DownLoad", L"Path"));
    EXPECT_EQ(other, _Module.m_strDownloadDir);

    EXPECT_TRUE(IsSameFolder(other + L"Ravonyx", oldRoot + L"Ravonyx\\"));
    EXPECT_TRUE(IsInsideFolder(other + L"Ravonyx\\download\\new", oldRoot + L"Ravonyx"));
    EXPECT_FALSE(IsInsideFolder(other + L"Ravonyx2\\new", oldRoot + L"Ravonyx"));
}

TEST_F(FolderMoveTest, AMoveToAnotherFileSystemMovesEveryFile)
{
    CTmpfsFolder shm;
    ASSERT_FALSE(shm.Path().IsEmpty()) << "no tmpfs at Z:\\dev\\shm";
    ASSERT_NE(VolumeOf(shm.Path()), VolumeOf(oldRoot)) << "the tmpfs is another file system";
    const CString readOnly = oldRoot + L"Ravonyx\\download\\a.zip";
    SetFileAttributesW(readOnly, FILE_ATTRIBUTE_READONLY);

    const CString moved = shm.Path() + L"下载";
    SaveWithPath(moved);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(kDownloads, TreeOf(moved));
    EXPECT_EQ(Tree{}, TreeOf(oldRoot));
    EXPECT_EQ(moved, Stored(L"DownLoad", L"Path"));
    EXPECT_EQ(moved + L"\\", _Module.m_strDownloadDir);

    // Back, merging into a product folder that is there already.
    PutTree(oldRoot,
            {{"Ravonyx\\", ""}, {"Ravonyx\\download\\", ""}, {"Ravonyx\\download\\a.zip", "older a"}});
    AnswerBoxes({IDYES});
    SaveWithPath(oldRoot);
    EXPECT_EQ(1u, boxes.size());
    EXPECT_EQ(kDownloads, TreeOf(oldRoot));
    EXPECT_EQ(Tree{}, TreeOf(shm.Path() + L"下载"));
    EXPECT_EQ((Tree{{"下载\\", ""}}), TreeOf(shm.Path())); // nothing kept or copied is left
    EXPECT_EQ(oldRoot, Stored(L"DownLoad", L"Path"));
}

TEST_F(FolderMoveTest, AMoveThatWouldPutAFilePastMaxPathIsRefused)
{
    // A file whose path at the old root is 250 characters long: at a root
    // ten characters longer it would be 260, MAX_PATH.
    const CString folder = oldRoot + L"Ravonyx\\download\\";
    const CString name = CString(std::wstring(250 - folder.GetLength(), L'a').c_str());
    WriteFileBytes(folder + name, "long");
    Tree withLong = kDownloads;
    withLong["Ravonyx\\download\\" + name.ToUtf8()] = "long";
    const CString tooFar = newRoot + L"xxxxxxxxxx";
    ASSERT_EQ(MAX_PATH, (tooFar + L"\\Ravonyx\\download\\" + name).GetLength());

    AnswerBoxes({IDOK});
    const std::string before = IniBytes();
    SaveWithPath(tooFar);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(CString(kPastMaxPathText), boxes[0].text);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(before, IniBytes());
    EXPECT_EQ(withLong, TreeOf(oldRoot));
    EXPECT_EQ(Tree{}, TreeOf(tooFar));
    EXPECT_EQ(oldRoot, _Module.m_strDownloadDir);

    // One character less fits.
    boxes.clear();
    stayedOpen = false;
    const CString fits = newRoot + L"xxxxxxxxx";
    SaveWithPath(fits);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(withLong, TreeOf(fits));
    EXPECT_EQ(fits, Stored(L"DownLoad", L"Path"));
}

// The next start finds what a kill left: here every file moved, Path not yet
// written, and one moved file that another program holds, so that the undo
// cannot take it back. It says what stays where, keeps the note, and the
// start after finishes the undo.
TEST_F(FolderMoveTest, AnUndoThatCannotEndIsFinishedByALaterStart)
{
    const Tree existing = {
        {"Ravonyx\\", ""}, {"Ravonyx\\download\\", ""}, {"Ravonyx\\download\\a.zip", "older a"}};
    PutTree(newRoot + L"\\", existing);
    CTempFolder logs;
    const CString log = logs / L"steps.txt";
    {
        CScopedVariable logging(kUplarkStepLogVariable, log);
        CFileHandle held(
            CreateFileW(Ini(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.IsValid());
        ASSERT_EQ(2u,
                  RunProbe(L"move " + Quoted(app.Path()) + L" " + Quoted(oldRoot) + L" " + Quoted(newRoot)));
    }
    // Undone already: the run shows the steps up to the write of Path.
    EXPECT_EQ(kDownloads, TreeOf(oldRoot));
    EXPECT_EQ(existing, TreeOf(newRoot));
    const std::vector<std::string> steps = Lines(log);
    size_t write = 0;
    while (write < steps.size() && steps[write].find("common.ini") == std::string::npos)
        ++write;
    ASSERT_LT(write, steps.size());
    {
        CScopedVariable stop(kUplarkStopAtVariable, write + 1);
        ASSERT_EQ(kUplarkStoppedExitCode,
                  RunProbe(L"move " + Quoted(app.Path()) + L" " + Quoted(oldRoot) + L" " + Quoted(newRoot)));
    }
    const CString moved = newRoot + L"\\Ravonyx\\download\\a.zip";
    EXPECT_EQ("theme a", ReadFileBytes(moved));
    const CString note = CFolderMove::NotePath(app.Path());
    ASSERT_TRUE(FileExists(note));

    {
        CFileHandle held(
            CreateFileW(moved, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.IsValid());
        AnswerBoxes({IDOK});
        FinishFolderMoveAtStart(app.Path());
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(-1, boxes[0].text.Find(moved)) << boxes[0].text.ToUtf8();
    EXPECT_TRUE(FileExists(note));
    EXPECT_EQ(oldRoot, Stored(L"DownLoad", L"Path"));

    boxes.clear();
    for (const wchar_t* name : {L"Dunmere.dll", L"Local\\list\\menumanage.html", L"Data\\MyThemes.xml"}) {
        MakeFolderFor(app / name);
        WriteFileBytes(app / name, "x");
    }
    _Module.m_strDownloadDir.Empty();
    EXPECT_EQ(kConfigOk, LoadConfiguration());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(FileExists(note));
    EXPECT_EQ(oldRoot, _Module.m_strDownloadDir);
    EXPECT_EQ(kDownloads, TreeOf(oldRoot));
    EXPECT_EQ(existing, TreeOf(newRoot));
}

// A kill just after Path was written: the next start finishes the merge.
// The target's replaced file, which another program holds, cannot be
// deleted: the user is told where it stays.
TEST_F(FolderMoveTest, AReplacedFileThatCannotBeDeletedIsReported)
{
    PutTree(newRoot + L"\\", {{"Ravonyx\\download\\a.zip", "older a"}});
    const CString arguments = L"move " + Quoted(app.Path()) + L" " + Quoted(oldRoot) + L" " + Quoted(newRoot);
    // Killed just after the rewrite of the settings put Path in place.
    const size_t afterWrite = StepAfterLastNaming(ProbeSteps(arguments), "common.ini");
    ASSERT_NE(0u, afterWrite);

    DeletePath(newRoot);
    DeletePath(oldRoot);
    PutTree(oldRoot, kDownloads);
    PutTree(newRoot + L"\\", {{"Ravonyx\\download\\a.zip", "older a"}});
    Store(L"DownLoad", L"Path", oldRoot);
    {
        CScopedVariable stop(kUplarkStopAtVariable, afterWrite);
        ASSERT_EQ(kUplarkStoppedExitCode, RunProbe(arguments));
    }
    EXPECT_EQ(newRoot, Stored(L"DownLoad", L"Path"));
    const CString kept = newRoot + L"\\Ravonyx.kept\\download\\a.zip";
    ASSERT_EQ("older a", ReadFileBytes(kept));

    {
        CFileHandle held(
            CreateFileW(kept, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.IsValid());
        AnswerBoxes({IDOK});
        FinishFolderMoveAtStart(app.Path());
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0, boxes[0].text.Find(L"新文件夹中原有的同名文件无法删除")) << boxes[0].text.ToUtf8();
    EXPECT_NE(-1, boxes[0].text.Find(kept)) << boxes[0].text.ToUtf8();
    Tree keptToo = kDownloads;
    keptToo["Ravonyx.kept\\"] = "";
    keptToo["Ravonyx.kept\\download\\"] = "";
    keptToo["Ravonyx.kept\\download\\a.zip"] = "older a";
    EXPECT_EQ(keptToo, TreeOf(newRoot));
    EXPECT_FALSE(FileExists(CFolderMove::NotePath(app.Path())));
}

// A note that outlived the write of Path (here a kill just after it) is
// settled before the dialog writes Path again, also when only the text of
// the same folder changes: otherwise the next start would take the new text
// for a move that never reached its Path and undo it.
TEST_F(FolderMoveTest, ANoteLeftAfterThePathWriteIsSettledBeforePathIsWrittenAgain)
{
    const CString arguments = L"move " + Quoted(app.Path()) + L" " + Quoted(oldRoot) + L" " + Quoted(newRoot);
    const size_t afterWrite = StepAfterLastNaming(ProbeSteps(arguments), "common.ini");
    ASSERT_NE(0u, afterWrite);
    DeletePath(newRoot);
    DeletePath(oldRoot);
    PutTree(oldRoot, kDownloads);
    Store(L"DownLoad", L"Path", oldRoot);
    {
        CScopedVariable stop(kUplarkStopAtVariable, afterWrite);
        ASSERT_EQ(kUplarkStoppedExitCode, RunProbe(arguments));
    }
    const CString note = CFolderMove::NotePath(app.Path());
    ASSERT_EQ(newRoot, Stored(L"DownLoad", L"Path"));
    ASSERT_TRUE(FileExists(note));
    _Module.m_strDownloadDir = newRoot + L"\\";

    CString typed = newRoot;
    typed.MakeUpper();
    ASSERT_NE(typed, newRoot);
    SaveWithPath(typed);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(typed, Stored(L"DownLoad", L"Path"));
    EXPECT_FALSE(FileExists(note));

    for (const wchar_t* name : {L"Dunmere.dll", L"Local\\list\\menumanage.html", L"Data\\MyThemes.xml"}) {
        MakeFolderFor(app / name);
        WriteFileBytes(app / name, "x");
    }
    EXPECT_EQ(kConfigOk, LoadConfiguration());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(typed + L"\\", _Module.m_strDownloadDir);
    EXPECT_EQ(kDownloads, TreeOf(newRoot));
    EXPECT_EQ(Tree{}, TreeOf(oldRoot));
}

// The note names the helper folders beside both product folders, but not
// what lies in them: another program's files there, under the names the
// move uses, are never taken for the target's set-aside files, nor deleted,
// whether the next start undoes the merge or finishes it.
TEST_F(FolderMoveTest, OtherFilesInTheHelperFoldersAreLeftAlone)
{
    const Tree existing = {
        {"Ravonyx\\", ""}, {"Ravonyx\\download\\", ""}, {"Ravonyx\\download\\a.zip", "older a"}};
    const CString arguments = L"move " + Quoted(app.Path()) + L" " + Quoted(oldRoot) + L" " + Quoted(newRoot);
    PutTree(newRoot + L"\\", existing);
    const std::vector<std::string> steps = ProbeSteps(arguments);
    const size_t setAside = FirstStepNaming(steps, "Ravonyx.kept");
    const size_t afterWrite = StepAfterLastNaming(steps, "common.ini");
    ASSERT_NE(0u, setAside);
    ASSERT_NE(0u, afterWrite);
    auto killAt = [&](size_t step) {
        DeletePath(newRoot);
        DeletePath(oldRoot);
        PutTree(oldRoot, kDownloads);
        PutTree(newRoot + L"\\", existing);
        Store(L"DownLoad", L"Path", oldRoot);
        CScopedVariable stop(kUplarkStopAtVariable, step);
        EXPECT_EQ(kUplarkStoppedExitCode, RunProbe(arguments));
    };
    auto joined = [](Tree a, const Tree& b) {
        a.insert(b.begin(), b.end());
        return a;
    };
    // Of the size of the moved a.zip, which the target's own has too.
    const Tree plantedKept = {{"Ravonyx.kept\\", ""},
                              {"Ravonyx.kept\\download\\", ""},
                              {"Ravonyx.kept\\download\\a.zip", "planted"}};
    const Tree plantedMoving = {{"Ravonyx.moving\\", ""}, {"Ravonyx.moving\\mine.txt", "mine"}};

    // Killed before the target's a.zip was set aside: undone.
    killAt(setAside);
    PutTree(newRoot + L"\\", joined(plantedKept, plantedMoving));
    PutTree(oldRoot, plantedMoving);
    EXPECT_EQ(0u, RunProbe(L"recover " + Quoted(app.Path())));
    EXPECT_EQ(oldRoot, Stored(L"DownLoad", L"Path"));
    EXPECT_EQ(joined(kDownloads, plantedMoving), TreeOf(oldRoot));
    EXPECT_EQ(joined(existing, joined(plantedKept, plantedMoving)), TreeOf(newRoot));
    EXPECT_FALSE(FileExists(CFolderMove::NotePath(app.Path())));

    // Killed after Path was written, the set-aside a.zip then replaced by
    // another one: finished, and the other one stays where it is, told.
    killAt(afterWrite);
    const CString kept = newRoot + L"\\Ravonyx.kept\\download\\a.zip";
    ASSERT_EQ("older a", ReadFileBytes(kept));
    // Made while the set-aside one still exists, so that it cannot be given
    // that one's index.
    const CString other = newRoot + L"\\other.zip";
    WriteFileBytes(other, "planted");
    ASSERT_TRUE(DeleteFileW(kept));
    ASSERT_TRUE(MoveFileExW(other, kept, 0));
    boxes.clear();
    AnswerBoxes({IDOK});
    FinishFolderMoveAtStart(app.Path());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(-1, boxes[0].text.Find(kept)) << boxes[0].text.ToUtf8();
    EXPECT_EQ(newRoot, Stored(L"DownLoad", L"Path"));
    EXPECT_EQ(joined(kDownloads, plantedKept), TreeOf(newRoot));
    EXPECT_FALSE(FileExists(CFolderMove::NotePath(app.Path())));
}

TEST_F(FolderMoveTest, ANoteThatIsNotWholeOrPointsElsewhereIsSetAside)
{
    const CString note = CFolderMove::NotePath(app.Path());
    const CString victim = roots / L"别处\\keep.txt";
    MakeFolderFor(victim);
    WriteFileBytes(victim, "keep");
    const std::string head = "Ravonyx folder move 1\nold=" + oldRoot.ToUtf8() + "\nnew=" + newRoot.ToUtf8() +
                             "\nfrom=" + oldRoot.ToUtf8() + "Ravonyx\\\nto=" + newRoot.ToUtf8() +
                             "\\Ravonyx\\\nkept=" + newRoot.ToUtf8() +
                             "\\Ravonyx.kept\\\nstage=" + newRoot.ToUtf8() +
                             "\\Ravonyx.moving\\\nback=" + oldRoot.ToUtf8() + "Ravonyx.moving\\\nfolder=\n";
    const std::string notes[] = {
        head,                                                             // cut short
        head + "file=4|0|0.0.0.0.0|..\\..\\别处\\keep.txt\nend\n",        // outside the folders
        head + "file=4|1|0.0.0.0.0|download\\a.zip\nmade=C:\\x\\\nend\n", // a folder elsewhere
    };
    for (const std::string& text : notes) {
        WriteFileBytes(note, text);
        CFolderMove move(app.Path());
        CString report;
        EXPECT_TRUE(move.Recover(report));
        EXPECT_TRUE(report.IsEmpty());
        EXPECT_FALSE(FileExists(note));
        EXPECT_EQ(text, ReadFileBytes(note + L".bad"));
        EXPECT_EQ(kDownloads, TreeOf(oldRoot));
        EXPECT_EQ("keep", ReadFileBytes(victim));
    }
}

namespace {

// One folder change swept by kills: the settings and both roots are made
// afresh for each run.
struct SweepWorld {
    bool merge = false;           // the target product folder exists already
    bool otherFileSystem = false; // the new root is on a tmpfs
    bool settingsHeld = false;    // another program holds common.ini: Path cannot be written
};

void SweepKills(const SweepWorld& world)
{
    CTempFolder app;
    CTempFolder roots;
    CTmpfsFolder shm;
    ASSERT_FALSE(world.otherFileSystem && shm.Path().IsEmpty()) << "no tmpfs at Z:\\dev\\shm";
    const CString ini = app / L"Config\\common.ini";
    const CString oldPath = roots / L"旧目录";
    // Two folders above the target are made for it.
    const CString newBase = world.otherFileSystem ? shm.Path() : roots.Path();
    const CString newPath = newBase + L"新的\\下载";
    const Tree existing = {
        {"Ravonyx\\", ""},
        {"Ravonyx\\download\\", ""},
        {"Ravonyx\\download\\a.zip", "older a"},
        {"Ravonyx\\download\\b.zip", "theme b"},
    };
    Tree downloads = kDownloads;
    downloads["Ravonyx\\download\\c.zip"] = std::string(100000, 'c');

    auto prefixed = [](const std::string& prefix, const Tree& tree) {
        Tree out;
        for (const auto& [path, bytes] : tree)
            out[prefix + path] = bytes;
        return out;
    };
    // Everything under both bases in the state before and after the move.
    Tree before = prefixed("旧目录\\", downloads);
    before["旧目录\\"] = "";
    Tree targetBefore;
    if (world.merge) {
        targetBefore = prefixed("新的\\下载\\", existing);
        targetBefore["新的\\"] = "";
        targetBefore["新的\\下载\\"] = "";
    }
    Tree merged = downloads;
    if (world.merge)
        merged["Ravonyx\\download\\b.zip"] = "theme b";
    Tree targetAfter = prefixed("新的\\下载\\", merged);
    targetAfter["新的\\"] = "";
    targetAfter["新的\\下载\\"] = "";
    const Tree sourceAfter = {{"旧目录\\", ""}};
    auto join = [&](const Tree& source, const Tree& target) {
        if (world.otherFileSystem)
            return std::make_pair(source, target);
        Tree all = source;
        all.insert(target.begin(), target.end());
        return std::make_pair(all, Tree{});
    };

    auto setUp = [&] {
        DeletePath(oldPath);
        DeletePath(newBase + L"新的");
        PutTree(oldPath + L"\\", downloads);
        if (world.merge)
            PutTree(newPath + L"\\", existing);
        MakeFolderFor(ini);
        WriteFileBytes(ini, "");
        ASSERT_NE(0, WriteConfigValue(L"DownLoad", L"Path", oldPath, ini));
    };
    auto path = [&] {
        CString value;
        ReadConfigValue(L"DownLoad", L"Path", ini, L"<absent>", MAX_PATH, value);
        return value;
    };
    const CString move = L"move " + Quoted(app.Path()) + L" " + Quoted(oldPath) + L" " + Quoted(newPath);
    const CString recover = L"recover " + Quoted(app.Path());
    auto runMove = [&] {
        CFileHandle held;
        if (world.settingsHeld)
            held.Reset(CreateFileW(ini, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        return RunProbe(move);
    };

    // One run to the end names every change the move makes.
    CTempFolder logs;
    const CString log = logs / L"steps.txt";
    setUp();
    {
        CScopedVariable logging(kUplarkStepLogVariable, log);
        EXPECT_EQ(world.settingsHeld ? 2u : 0u, runMove());
    }
    const std::vector<std::string> steps = Lines(log);
    ASSERT_FALSE(steps.empty());
    const auto oldState = join(before, targetBefore);
    const auto newState = join(sourceAfter, targetAfter);
    EXPECT_EQ(world.settingsHeld ? oldState : newState,
              std::make_pair(TreeOf(roots.Path()), TreeOf(shm.Path())));

    const CString note = CFolderMove::NotePath(app.Path());
    for (size_t n = 1; n <= steps.size(); ++n) {
        SCOPED_TRACE(testing::Message() << "killed before step " << n << ": " << steps[n - 1]);
        setUp();
        const CString stepLog = logs / L"killed.txt";
        DeleteFileW(stepLog);
        {
            CScopedVariable stop(kUplarkStopAtVariable, n);
            CScopedVariable logging(kUplarkStepLogVariable, stepLog);
            EXPECT_EQ(kUplarkStoppedExitCode, runMove());
        }
        ASSERT_EQ(n, Lines(stepLog).size());
        // The next start, itself killed part-way, and the start after it.
        {
            CScopedVariable stop(kUplarkStopAtVariable, 1 + (n * 7) % steps.size());
            const DWORD code = RunProbe(recover);
            EXPECT_TRUE(code == 0 || code == kUplarkStoppedExitCode) << code;
        }
        EXPECT_EQ(0u, RunProbe(recover));
        EXPECT_FALSE(FileExists(note));
        EXPECT_FALSE(FileExists(note + L".new"));
        EXPECT_FALSE(FileExists(note + L".bad"));
        const auto state = std::make_pair(TreeOf(roots.Path()), TreeOf(shm.Path()));
        const bool moved = path() == newPath;
        if (!moved) {
            EXPECT_EQ(oldPath, path());
        }
        EXPECT_FALSE(world.settingsHeld && moved);
        EXPECT_EQ(moved ? newState : oldState, state);
        if (testing::Test::HasFailure())
            return;
    }

    // Every file moved, Path not yet written: the next start undoes it all,
    // and is itself killed before each of its steps in turn.
    size_t write = 0;
    while (write < steps.size() && steps[write].find("common.ini") == std::string::npos)
        ++write;
    ASSERT_LT(write, steps.size());
    auto killBeforeWrite = [&] {
        setUp();
        CScopedVariable stop(kUplarkStopAtVariable, write + 1);
        EXPECT_EQ(kUplarkStoppedExitCode, runMove());
    };
    killBeforeWrite();
    const CString recoveryLog = logs / L"recovery.txt";
    {
        CScopedVariable logging(kUplarkStepLogVariable, recoveryLog);
        EXPECT_EQ(0u, RunProbe(recover));
    }
    const size_t recoverySteps = Lines(recoveryLog).size();
    EXPECT_GT(recoverySteps, downloads.size());
    for (size_t m = 1; m <= recoverySteps; ++m) {
        SCOPED_TRACE(testing::Message() << "next start killed before step " << m);
        killBeforeWrite();
        {
            CScopedVariable stop(kUplarkStopAtVariable, m);
            EXPECT_EQ(kUplarkStoppedExitCode, RunProbe(recover));
        }
        EXPECT_EQ(0u, RunProbe(recover));
        EXPECT_FALSE(FileExists(note));
        EXPECT_EQ(oldPath, path());
        EXPECT_EQ(oldState, std::make_pair(TreeOf(roots.Path()), TreeOf(shm.Path())));
        if (testing::Test::HasFailure())
            return;
    }
}

} // namespace

TEST(FolderMoveSweep, AMoveKilledAtAnyStepEndsWholeOrUndoneAtTheNextStart)
{
    SweepKills({});
}

TEST(FolderMoveSweep, AMergeKilledAtAnyStepEndsWholeOrUndoneAtTheNextStart)
{
    SweepKills({true, false, false});
}

TEST(FolderMoveSweep, AMoveToAnotherFileSystemKilledAtAnyStep)
{
    SweepKills({true, true, false});
}

TEST(FolderMoveSweep, AnUndoKilledAtAnyStepEndsUndoneAtTheNextStart)
{
    SweepKills({true, true, true});
}
