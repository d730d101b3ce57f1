// The updater's file replacement, its wait for a file in use and its tree
// move, in-process against real files.
#include "updater/FileReplacement.h"
#include "updater/MoveDirectoryTree.h"

#include "tests/support/TempFolder.h"

#include "base/Handle.h"
#include "base/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

CFileHandle OpenSharing(const CString& path, DWORD share)
{
    return CFileHandle(
        CreateFileW(LongPathForm(path), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Files and folders whose names hold ".uplark-old": what a replacement set
// aside and left behind.
int LeftAside(const CString& folder)
{
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(folder + L"*.uplark-old*", &found));
    int count = 0;
    if (find) {
        do {
            ++count;
        } while (FindNextFileW(find, &found));
    }
    return count;
}

bool IsReadOnly(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(LongPathForm(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

TEST(ReplaceFileKeepingOld, PutsTheNewFileInPlace)
{
    const struct {
        const char* name;
        const char* old; // nullptr: no old file
        bool readOnly;
        bool asideNameTaken;
    } rows[] = {
        {"absent target", nullptr, false, false},
        {"plain target", "old", false, false},
        {"read-only target", "old", true, false},
        {"aside name already taken", "old", false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CTempFolder folder;
        const CString source = folder / L"new.bin";
        const CString target = folder / L"程序.exe";
        WriteFileBytes(source, "new contents");
        if (row.old) {
            WriteFileBytes(target, row.old);
        }
        if (row.readOnly) {
            SetFileAttributesW(target, FILE_ATTRIBUTE_READONLY);
        }
        if (row.asideNameTaken) {
            WriteFileBytes(target + L".uplark-old", "somebody's file");
        }

        EXPECT_TRUE(ReplaceFileKeepingOld(source, target));
        EXPECT_EQ("new contents", ReadFileBytes(target));
        EXPECT_FALSE(FileExists(source));
        if (row.asideNameTaken) {
            EXPECT_EQ("somebody's file", ReadFileBytes(target + L".uplark-old"));
            EXPECT_EQ(1, LeftAside(folder.Path()));
        } else {
            EXPECT_EQ(0, LeftAside(folder.Path()));
        }
    }
}

TEST(ReplaceFileKeepingOld, AFailedMoveLeavesTheOldFileInPlace)
{
    // Neither a target that cannot be moved aside nor a new file that cannot
    // be moved in may cost the old file.
    for (const bool holdTarget : {true, false}) {
        SCOPED_TRACE(holdTarget ? "target held" : "source held");
        CTempFolder folder;
        const CString source = folder / L"new.bin";
        const CString target = folder / L"Dunmere.dll";
        WriteFileBytes(source, "new");
        WriteFileBytes(target, "old");
        SetFileAttributesW(target, FILE_ATTRIBUTE_READONLY);
        // Without FILE_SHARE_DELETE nobody may rename the file.
        CFileHandle held = OpenSharing(holdTarget ? target : source, FILE_SHARE_READ);
        ASSERT_TRUE(held);

        EXPECT_FALSE(ReplaceFileKeepingOld(source, target));
        EXPECT_EQ("old", ReadFileBytes(target));
        EXPECT_TRUE(IsReadOnly(target));
        EXPECT_EQ("new", ReadFileBytes(source));
        EXPECT_EQ(0, LeftAside(folder.Path()));
    }
}

TEST(ReplaceFileKeepingOld, ReplacesALoadedLibrary)
{
    // A loaded library cannot be overwritten or deleted, but it can be
    // renamed: it is moved aside, and goes once it is no longer used.
    wchar_t bin[MAX_PATH];
    GetModuleFileNameW(nullptr, bin, MAX_PATH);
    *wcsrchr(bin, L'\\') = L'\0';
    CTempFolder folder;
    const CString target = folder / L"Dunmere.dll";
    ASSERT_TRUE(CopyFileW(CString(bin) + L"\\Dunmere.dll", target, FALSE));
    WriteFileBytes(folder / L"new.dll", "new library");
    HMODULE loaded = LoadLibraryW(target);
    ASSERT_TRUE(loaded);

    EXPECT_TRUE(ReplaceFileKeepingOld(folder / L"new.dll", target));
    EXPECT_EQ("new library", ReadFileBytes(target));
    EXPECT_FALSE(FileExists(folder / L"new.dll"));
    // The old file is still in use.
    EXPECT_EQ(1, LeftAside(folder.Path()));
    FreeLibrary(loaded);
}

TEST(WaitForFileRelease, AnswersAtOnceForFilesNobodyHolds)
{
    CTempFolder folder;
    WriteFileBytes(folder / L"free.exe", "x");
    WriteFileBytes(folder / L"readonly.exe", "x");
    SetFileAttributesW(folder / L"readonly.exe", FILE_ATTRIBUTE_READONLY);
    const struct {
        CString path;
        FileRelease expected;
    } rows[] = {
        {folder / L"free.exe", FileRelease::Free},
        {folder / L"readonly.exe", FileRelease::Free},
        {folder / L"absent.exe", FileRelease::Absent},
        {folder / L"no such folder\\absent.exe", FileRelease::Absent},
        {folder / L"bad<name>.exe", FileRelease::Failed},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path.ToUtf8());
        // A poll that long would stop the test: none of these may wait.
        EXPECT_EQ(row.expected, WaitForFileRelease(row.path, 600000));
    }
    EXPECT_TRUE(IsReadOnly(folder / L"readonly.exe"));
}

TEST(WaitForFileRelease, WaitsWhileTheFileIsHeldAndEndsWhenItGoes)
{
    // The holder shares reading and deleting but not writing, as a running
    // program does; it lets go by closing, or by moving the file away first.
    for (const bool moveAway : {false, true}) {
        SCOPED_TRACE(moveAway ? "moved away" : "released");
        CTempFolder folder;
        const CString path = folder / L"Ravonyx.exe";
        WriteFileBytes(path, "running");
        CFileHandle held = OpenSharing(path, FILE_SHARE_READ | FILE_SHARE_DELETE);
        ASSERT_TRUE(held);
        std::atomic<bool> letGo{false};
        CHandle holder = StartThread([&] {
            // Long enough for several looks of the waiting side.
            Sleep(300);
            // Noted before the file moves or is closed: the waiting side
            // may see either at once.
            letGo = true;
            if (moveAway) {
                MoveFileW(path, folder / L"elsewhere.exe");
            }
            held.Reset();
        });
        const FileRelease result = WaitForFileRelease(path, 20);
        EXPECT_TRUE(letGo);
        EXPECT_EQ(moveAway ? FileRelease::Absent : FileRelease::Free, result);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(holder, 30000))
            << "the holder thread did not end in 30 s";
    }
}

// Removes a tree whose paths may be longer than MAX_PATH.
void RemoveLongTree(const CString& folder)
{
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(LongPathForm(folder + L"*"), &found));
    if (find) {
        do {
            const CString name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveLongTree(folder + name + L"\\");
            } else {
                SetFileAttributesW(LongPathForm(folder + name), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(LongPathForm(folder + name));
            }
        } while (FindNextFileW(find, &found));
    }
    find.Reset();
    RemoveDirectoryW(LongPathForm(folder));
}

class TreeMove : public ::testing::Test {
protected:
    void TearDown() override
    {
        RemoveLongTree(root.Path() + L"unpacked\\");
        RemoveLongTree(root.Path() + L"program\\");
    }

    void Put(const CString& path, const std::string& bytes)
    {
        for (int i = root.Path().GetLength(); (i = path.Find(L'\\', i)) > 0; ++i)
            CreateDirectoryW(LongPathForm(path.Left(i)), nullptr);
        WriteFileBytes(LongPathForm(path), bytes);
    }

    CTempFolder root;
    const CString source = root.Path() + L"unpacked\\";
    const CString target = root.Path() + L"program\\";
};

TEST_F(TreeMove, MovesFilesAtAnyDepthAndLeavesDotFoldersBehind)
{
    // Deep enough that the target paths pass MAX_PATH.
    CString deep;
    for (int level = 0; level < 6; ++level)
        deep += CString(static_cast<wchar_t>(L'a' + level), 48) + L"\\";
    ASSERT_GT((target + deep).GetLength(), MAX_PATH + 20);
    Put(source + L"Ravonyx.exe", "program");
    Put(source + L".settings", "dot file");
    Put(source + L".svn\\entries", "dot folder");
    Put(source + L"Skins\\blue.xml", "new skin");
    Put(source + deep + L"far.txt", "far away");
    Put(target + L"Skins\\blue.xml", "old skin");
    Put(target + L"Skins\\mine.xml", "kept");

    EXPECT_TRUE(MoveDirectoryTree(source, target));
    EXPECT_EQ("program", ReadFileBytes(target + L"Ravonyx.exe"));
    EXPECT_EQ("dot file", ReadFileBytes(target + L".settings"));
    EXPECT_EQ("new skin", ReadFileBytes(target + L"Skins\\blue.xml"));
    EXPECT_EQ("kept", ReadFileBytes(target + L"Skins\\mine.xml"));
    EXPECT_EQ("far away", ReadFileBytes(LongPathForm(target + deep + L"far.txt")));
    EXPECT_FALSE(FileExists(target + L".svn"));
    EXPECT_EQ("dot folder", ReadFileBytes(source + L".svn\\entries"));
    EXPECT_EQ(0, LeftAside(target));
    EXPECT_EQ(0, LeftAside(target + L"Skins\\"));
}

TEST_F(TreeMove, StopsAtAFileWhereTheTreeHasAFolder)
{
    Put(source + L"Skins\\blue.xml", "new skin");
    Put(target + L"Skins", "a file named like the folder");

    EXPECT_FALSE(MoveDirectoryTree(source, target));
    EXPECT_EQ("a file named like the folder", ReadFileBytes(target + L"Skins"));
    EXPECT_EQ("new skin", ReadFileBytes(source + L"Skins\\blue.xml"));
}

} // namespace
