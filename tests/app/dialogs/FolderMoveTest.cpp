// Changing the download folder: the product folder "Ravonyx" moves with it,
// and nothing of the user's downloads is lost on any path.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/common/FileUtils.h"
#include "app/dialogs/FolderMerge.h"
#include "app/startup/Configuration.h"
#include "app/startup/CorvaneModule.h"
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

TEST_F(FolderMoveTest, AMergeFailedAtAnyStepLosesNoFileOfEitherFolder)
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
    };
    // Each file in turn, so that whatever order the merge takes, a file of
    // each folder has been dealt with before the one that fails.
    const Case cases[] = {
        {"a source file held open", oldRoot + L"Ravonyx\\download\\a.zip", false},
        {"another source file held open", oldRoot + L"Ravonyx\\theme\\蓝色\\blue.theme", false},
        {"a target file held open", newRoot + L"\\Ravonyx\\download\\a.zip", false},
        {"another target file held open", newRoot + L"\\Ravonyx\\theme\\蓝色\\blue.theme", false},
        {"the settings file held open", Ini(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeletePath(oldRoot);
        DeletePath(newRoot);
        PutTree(oldRoot, kDownloads);
        PutTree(newRoot + L"\\", existing);
        boxes.clear();
        stayedOpen = false;
        const std::string before = IniBytes();
        AnswerBoxes(c.settingsHeld ? std::vector<int>{IDYES, IDOK} : std::vector<int>{IDYES, IDOK, IDOK});
        locked = {c.held};
        SaveWithPath(newRoot);
        locked.clear();
        std::vector<CString> texts;
        for (const SeenBox& box : boxes)
            texts.push_back(box.text);
        const std::vector<CString> expected = c.settingsHeld
                                                  ? std::vector<CString>{question, writeFailed}
                                                  : std::vector<CString>{question, moveFailed, abort};
        EXPECT_EQ(expected, texts);
        EXPECT_EQ(c.settingsHeld, stayedOpen);
        EXPECT_EQ(kDownloads, TreeOf(oldRoot));
        EXPECT_EQ(existing, TreeOf(newRoot)); // nothing left aside either
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
        {"a device name", L"C:\\NUL", notAbsolute},
        {"up a folder", newRoot + L"\\..\\其他", notAbsolute},
        {"a question mark", newRoot + L"\\是?否", badCharacter},
        {"a colon", newRoot + L"\\a:b", badCharacter},
        {"a slash", newRoot + L"/下载", badCharacter},
        {"Korean", newRoot + L"\\한국어", notStorable},
        {"Thai", newRoot + L"\\ภาษาไทย", notStorable},
        {"one byte too long", longest + L"x", tooLong},
        {"far too long", newRoot + L"\\" + CString(std::wstring(300, L'a').c_str()), tooLong},
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

TEST(FolderMerge, ComparesFullPathsWithoutRegardToCase)
{
    EXPECT_TRUE(IsSameFolder(L"C:\\Abc\\", L"c:\\aBC"));
    EXPECT_TRUE(IsSameFolder(L"C:\\a\\..\\b", L"C:\\B\\"));
    EXPECT_FALSE(IsSameFolder(L"C:\\a", L"C:\\ab"));
    EXPECT_TRUE(IsInsideFolder(L"C:\\A\\Ravonyx\\x", L"c:\\a\\ravonyx"));
    EXPECT_FALSE(IsInsideFolder(L"C:\\A\\Ravonyx", L"C:\\A\\Ravonyx\\"));
    EXPECT_FALSE(IsInsideFolder(L"C:\\A\\Ravonyx2", L"C:\\A\\Ravonyx"));
}

TEST(FolderMerge, AnEightDotThreeNameIsTheSameFolder)
{
    CTempFolder temp;
    const CString folder = temp / L"RavonyxDownloads\\";
    MakeFolderFor(folder + L"Ravonyx\\x");
    const CString shortFolder = ShortPath(folder);
    ASSERT_NE(0, shortFolder.CompareNoCase(folder)) << "the folder has an 8.3 name";
    EXPECT_TRUE(IsSameFolder(shortFolder, folder));
    EXPECT_TRUE(IsInsideFolder(shortFolder + L"Ravonyx\\download", folder + L"Ravonyx"));
    EXPECT_TRUE(IsInsideFolder(folder + L"Ravonyx\\new\\deeper", shortFolder));
    EXPECT_FALSE(IsInsideFolder(shortFolder, folder));
    EXPECT_FALSE(IsInsideFolder(temp / L"RavonyxDownloads2\\Ravonyx", shortFolder));
}

// Another program holds a moved file: the undo cannot take it back, nor put
// the target's own file of that name in its place, and says so.
TEST(FolderMerge, AFailedUndoTellsWhatIsWhere)
{
    CTempFolder temp;
    const CString from = temp / L"旧\\Ravonyx\\";
    const CString to = temp / L"新\\Ravonyx\\";
    PutTree(from, {{"download\\a.zip", "theme a"}, {"download\\c.zip", "theme c"}});
    PutTree(to, {{"download\\a.zip", "older a"}});
    FolderMergeRecord record;
    ASSERT_TRUE(MergeFolderInto(to, from, record));
    EXPECT_EQ((Tree{{"download\\", ""}, {"download\\a.zip", "theme a"}, {"download\\c.zip", "theme c"}}),
              TreeOf(to));
    ASSERT_FALSE(record.keptFolder.IsEmpty());
    EXPECT_EQ((Tree{{"download\\", ""}, {"download\\a.zip", "older a"}}), TreeOf(record.keptFolder));

    CFileHandle held(CreateFileW(to + L"download\\a.zip", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.IsValid());
    FolderMergeLeftovers left;
    EXPECT_FALSE(UndoFolderMerge(to, from, record, left));
    held.Reset();
    EXPECT_EQ(std::vector<CString>{L"download\\a.zip"}, left.inTarget);
    EXPECT_EQ(std::vector<CString>{L"download\\a.zip"}, left.kept);
    EXPECT_EQ((Tree{{"download\\", ""}, {"download\\c.zip", "theme c"}}), TreeOf(from));
    EXPECT_EQ((Tree{{"download\\", ""}, {"download\\a.zip", "theme a"}}), TreeOf(to));
    EXPECT_EQ((Tree{{"download\\", ""}, {"download\\a.zip", "older a"}}), TreeOf(record.keptFolder));

    // Each file where it is now, and where it belongs.
    const CString text = FolderMergeLeftoversText(to, from, record, left);
    for (const CString& path :
         {to + L"download\\a.zip", from + L"download\\a.zip", record.keptFolder + L"download\\a.zip"})
        EXPECT_NE(-1, text.Find(path)) << path.ToUtf8() << " in " << text.ToUtf8();
    EXPECT_EQ(-1, text.Find(L"c.zip"));
}

TEST(FolderMerge, AFinishedMergeDropsOnlyTheReplacedFiles)
{
    CTempFolder temp;
    const CString from = temp / L"旧\\Ravonyx\\";
    const CString to = temp / L"新\\Ravonyx\\";
    PutTree(from, {{"download\\a.zip", "theme a"}});
    PutTree(to, {{"download\\a.zip", "older a"}, {"download\\b.zip", "theme b"}});
    FolderMergeRecord record;
    ASSERT_TRUE(MergeFolderInto(to, from, record));
    EXPECT_TRUE(FinishFolderMerge(record));
    EXPECT_EQ((Tree{{"新\\", ""},
                    {"新\\Ravonyx\\", ""},
                    {"新\\Ravonyx\\download\\", ""},
                    {"新\\Ravonyx\\download\\a.zip", "theme a"},
                    {"新\\Ravonyx\\download\\b.zip", "theme b"},
                    {"旧\\", ""}}),
              TreeOf(temp.Path()));
}
