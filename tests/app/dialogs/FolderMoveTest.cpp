// Changing the download folder: the product folder "Ravonyx" moves with it,
// and nothing of the user's downloads is lost on any path.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/dialogs/FolderMerge.h"
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
            if (lockSettings)
                lock = CreateFileW(Ini(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ClickItem(dialog, IDC_SETUP_OK);
            if (lock != INVALID_HANDLE_VALUE)
                CloseHandle(lock);
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
    // Another program holds the settings file while saving: no write works.
    bool lockSettings = false;
    HANDLE lock = INVALID_HANDLE_VALUE;
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
    EXPECT_EQ(CString(L"发现目标文件夹已经存在，覆盖此文件夹？"), boxes[0].text);
    Tree merged = kDownloads;
    merged["Ravonyx\\download\\b.zip"] = "theme b"; // the moved folder's a.zip wins
    EXPECT_EQ(merged, TreeOf(newRoot));
    EXPECT_EQ(Tree{}, TreeOf(oldRoot));
    EXPECT_EQ(newRoot, Stored(L"DownLoad", L"Path"));
}

TEST_F(FolderMoveTest, RefusedMovesKeepEverythingAndEndTheDialog)
{
    const CString abort = L"无法完整保存修改，请检查账户权限，并重新开启琅函箱！";
    const CString moveFailed = L"无法移动文件到目标文件夹，请检查账户权限！";
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
        {"overwrite declined",
         newRoot,
         true,
         {IDNO, IDOK},
         {L"发现目标文件夹已经存在，覆盖此文件夹？", abort}},
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
            if (boxes[i].text != L"发现目标文件夹已经存在，覆盖此文件夹？") {
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
    for (const CString& typed : {upper, oldRoot.Left(oldRoot.GetLength() - 1)}) {
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
    const Tree existing = {{"Ravonyx\\", ""}, {"Ravonyx\\mine.txt", "mine"}};
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
        lockSettings = true;
        SaveWithPath(newRoot);
        lockSettings = false;
        EXPECT_TRUE(stayedOpen);
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(CString(L"无法修改配置文件，修改配置失败！"), boxes.back().text);
        EXPECT_EQ(before, IniBytes());
        EXPECT_EQ(kDownloads, TreeOf(oldRoot));
        EXPECT_EQ(merge ? existing : Tree{}, TreeOf(newRoot));
        EXPECT_EQ(merge, GetFileAttributesW(newRoot) !=
                             INVALID_FILE_ATTRIBUTES); // a root made for the move goes again
        EXPECT_EQ(oldRoot, _Module.m_strDownloadDir);
        stayedOpen = false;
    }
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
