// What the updater does with the note of an update that an earlier run left
// half done, in-process against real files.
#include "updater/InstallUpdate.h"

#include "app/common/UpdateJournal.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class UpdateResume : public ::testing::Test {
protected:
    void Put(const wchar_t* relative, const std::string& bytes)
    {
        const CString path = folder / relative;
        MakeFolderFor(path);
        WriteFileBytes(path, bytes);
    }
    void Note(UpdateStage stage, std::vector<CString> names)
    {
        UpdateJournal journal;
        journal.stage = stage;
        journal.digest = L"0123456789abcdef0123456789abcdef";
        journal.programFiles = std::move(names);
        CreateDirectoryW(folder / L"Temp", nullptr);
        ASSERT_TRUE(WriteUpdateJournal(job.m_strWorkFolder, journal));
    }
    void ExpectNoWorkFiles()
    {
        for (const wchar_t* work : {L"Temp\\TessalyUpdate", L"Temp\\Tessaly.state", L"Temp\\TessalyOld"})
            EXPECT_FALSE(FileExists(folder / work)) << CString(work).ToUtf8();
    }

    CTempFolder folder;
    CUpdateJob job{folder.Path(), L"0123456789abcdef0123456789abcdef"};
    CString digest;
};

TEST_F(UpdateResume, NothingNotedIsNothingToDo)
{
    Put(L"Ravonyx.exe", "old program");
    Put(L"Temp\\TessalyUpdate\\Ravonyx.exe", "new program");
    EXPECT_EQ(UpdateOutcome::None, ResumeUpdate(job, digest));
    EXPECT_EQ("old program", ReadFileBytes(folder / L"Ravonyx.exe"));
}

TEST_F(UpdateResume, AnInstallCutShortGoesOnWhereItStopped)
{
    // The program went in; the library and the tree did not.
    Put(L"Ravonyx.exe", "new program");
    Put(L"Dunmere.dll", "old library");
    Put(L"Temp\\TessalyOld\\Ravonyx.exe", "old program");
    Put(L"Temp\\TessalyOld\\Dunmere.dll", "old library");
    Put(L"Temp\\TessalyUpdate\\Dunmere.dll", "new library");
    Put(L"Temp\\TessalyUpdate\\Skins\\blue.xml", "new skin");
    Note(UpdateStage::Install, {L"Ravonyx.exe", L"Dunmere.dll"});

    EXPECT_EQ(UpdateOutcome::Finished, ResumeUpdate(job, digest));
    EXPECT_EQ(CString(L"0123456789abcdef0123456789abcdef"), digest);
    EXPECT_EQ("new program", ReadFileBytes(folder / L"Ravonyx.exe"));
    EXPECT_EQ("new library", ReadFileBytes(folder / L"Dunmere.dll"));
    EXPECT_EQ("new skin", ReadFileBytes(folder / L"Skins\\blue.xml"));
    // The note stays until the settings value is written.
    EXPECT_TRUE(FileExists(folder / L"Temp\\Tessaly.state"));
    ForgetUpdate(job);
    ExpectNoWorkFiles();
}

TEST_F(UpdateResume, AnUndoCutShortPutsEveryOldFileBack)
{
    // The program is back already; the library, and a file that was new
    // with the package, are not.
    Put(L"Ravonyx.exe", "old program");
    Put(L"Dunmere.dll", "new library");
    Put(L"Temp\\TessalyOld\\Ravonyx.exe", "old program");
    Put(L"Temp\\TessalyOld\\Dunmere.dll", "old library");
    Note(UpdateStage::Undo, {L"Ravonyx.exe", L"Dunmere.dll"});

    EXPECT_EQ(UpdateOutcome::Undone, ResumeUpdate(job, digest));
    EXPECT_EQ("old program", ReadFileBytes(folder / L"Ravonyx.exe"));
    EXPECT_EQ("old library", ReadFileBytes(folder / L"Dunmere.dll"));
    ExpectNoWorkFiles();
}

TEST_F(UpdateResume, ANoteNamingOtherFilesIsNoNoteOfOurs)
{
    // Undone as a file the package brought, it would be deleted.
    Put(L"Config\\common.ini", "the user's settings");
    Note(UpdateStage::Undo, {L"Config\\common.ini"});
    EXPECT_EQ(UpdateOutcome::None, ResumeUpdate(job, digest));
    EXPECT_EQ("the user's settings", ReadFileBytes(folder / L"Config\\common.ini"));
    EXPECT_FALSE(FileExists(folder / L"Temp\\Tessaly.state"));
}

} // namespace
