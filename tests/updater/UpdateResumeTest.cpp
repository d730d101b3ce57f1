// What the updater does with the note of an update that an earlier run left
// half done, in-process against real files: the stand-in program and
// library of this build, old and new, so that the program files pass the
// check a resumed install makes.
#include "updater/InstallUpdate.h"

#include "app/common/ConfigCodec.h"
#include "app/common/Md5Checksum.h"
#include "app/common/UpdateJournal.h"

#include "tests/support/TempFolder.h"
#include "tests/updater/StandInBuilds.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kDigest[] = L"0123456789abcdef0123456789abcdef";

class UpdateResume : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeFolderFor(folder / L"Config\\common.ini");
        ASSERT_NE(0, WriteConfigValue(L"Update", L"AutoUpdate", L"1", folder / L"Config\\common.ini"));
    }

    void Put(const wchar_t* relative, const std::string& bytes)
    {
        const CString path = folder / relative;
        MakeFolderFor(path);
        WriteFileBytes(path, bytes);
    }
    std::string Read(const wchar_t* relative) const { return ReadFileBytes(folder / relative); }
    CString Md5(const wchar_t* relative) const { return ComputeFileMd5(folder / relative); }

    void Note(const UpdateJournal& journal)
    {
        CreateDirectoryW(folder / L"Temp", nullptr);
        ASSERT_TRUE(WriteUpdateJournal(job.m_strWorkFolder, journal));
    }
    // A note as this updater writes it: both program files, each with the
    // backup that lies in TessalyOld.
    UpdateJournal BothNoted(UpdateStage stage)
    {
        UpdateJournal journal;
        journal.stage = stage;
        journal.digest = kDigest;
        journal.programFiles = {L"Ravonyx.exe", L"Dunmere.dll"};
        journal.backups = {{L"Ravonyx.exe", Md5(L"Temp\\TessalyOld\\Ravonyx.exe")},
                           {L"Dunmere.dll", Md5(L"Temp\\TessalyOld\\Dunmere.dll")}};
        return journal;
    }
    void BackUpOldBuilds()
    {
        Put(L"Temp\\TessalyOld\\Ravonyx.exe", Programs().oldProgram);
        Put(L"Temp\\TessalyOld\\Dunmere.dll", Programs().oldLibrary);
    }
    std::string AutoUpdate() const
    {
        CString value;
        ReadConfigValue(L"Update", L"AutoUpdate", folder / L"Config\\common.ini", L"(absent)", 260, value);
        return value.ToUtf8();
    }
    void ExpectNoWorkFiles()
    {
        for (const wchar_t* work : {L"Temp\\TessalyUpdate", L"Temp\\Tessaly.state", L"Temp\\TessalyOld"})
            EXPECT_FALSE(FileExists(folder / work)) << CString(work).ToUtf8();
    }
    void ExpectOldPair()
    {
        EXPECT_TRUE(Read(L"Ravonyx.exe") == Programs().oldProgram) << "Ravonyx.exe";
        EXPECT_TRUE(Read(L"Dunmere.dll") == Programs().oldLibrary) << "Dunmere.dll";
    }

    CTempFolder folder;
    CUpdateJob job{folder.Path(), kDigest};
    CString digest;
};

TEST_F(UpdateResume, NothingNotedIsNothingToDo)
{
    Put(L"Ravonyx.exe", Programs().oldProgram);
    Put(L"Temp\\TessalyUpdate\\Ravonyx.exe", Programs().newProgram);
    EXPECT_EQ(UpdateOutcome::None, ResumeUpdate(job, digest));
    EXPECT_TRUE(Read(L"Ravonyx.exe") == Programs().oldProgram);
}

TEST_F(UpdateResume, AnInstallCutShortGoesOnWhereItStopped)
{
    // The note as this updater writes it, and as an older one did: the
    // program files only, ending after them.
    const char* const olderNote =
        "install\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nDunmere.dll\r\n";
    for (const char* note : {static_cast<const char*>(nullptr), olderNote}) {
        SCOPED_TRACE(note ? "an older updater's note" : "this updater's note");
        // The program went in; the library and the tree did not.
        Put(L"Ravonyx.exe", Programs().newProgram);
        Put(L"Dunmere.dll", Programs().oldLibrary);
        ASSERT_NE(0, WriteConfigValue(L"Update", L"AutoUpdate", L"1", folder / L"Config\\common.ini"));
        BackUpOldBuilds();
        Put(L"Temp\\TessalyUpdate\\Dunmere.dll", Programs().newLibrary);
        Put(L"Temp\\TessalyUpdate\\Skins\\blue.xml", "new skin");
        if (note) {
            Put(L"Temp\\Tessaly.state", note);
        } else {
            Note(BothNoted(UpdateStage::Install));
        }

        EXPECT_EQ(UpdateOutcome::Finished, ResumeUpdate(job, digest));
        EXPECT_EQ(CString(kDigest), digest);
        EXPECT_TRUE(Read(L"Ravonyx.exe") == Programs().newProgram);
        EXPECT_TRUE(Read(L"Dunmere.dll") == Programs().newLibrary);
        EXPECT_EQ("new skin", Read(L"Skins\\blue.xml"));
        EXPECT_EQ("0", AutoUpdate());
        ExpectNoWorkFiles();
    }
}

TEST_F(UpdateResume, AnUndoCutShortPutsEveryNotedBackupBack)
{
    // The program is back already; the library is not.
    Put(L"Ravonyx.exe", Programs().oldProgram);
    Put(L"Dunmere.dll", Programs().newLibrary);
    BackUpOldBuilds();
    Note(BothNoted(UpdateStage::Undo));

    EXPECT_EQ(UpdateOutcome::Undone, ResumeUpdate(job, digest));
    ExpectOldPair();
    EXPECT_EQ("1", AutoUpdate());
    ExpectNoWorkFiles();
}

TEST_F(UpdateResume, AnUndoPutsBackOnlyTheBackupsOfThisUpdate)
{
    // The program files as a half-done update leaves them, or as they are.
    const struct {
        const char* name;
        const char* note;      // the note's text; nullptr: BothNoted(Undo)
        bool backups;          // TessalyOld holds the old builds
        const char* strangers; // TessalyOld holds these bytes under both names instead
    } rows[] = {
        {"an older updater's note, no backups",
         "undo\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nDunmere.dll\r\n", false, nullptr},
        {"an older updater's note, backups that are no programs",
         "undo\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nDunmere.dll\r\n", false,
         "not a program"},
        {"a note without backups listed",
         "undo\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nDunmere.dll\r\nend\r\n", true, nullptr},
        {"noted backups that are missing", nullptr, false, nullptr},
        {"backups that are not the noted ones", nullptr, false, "another version"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Put(L"Ravonyx.exe", Programs().newProgram);
        Put(L"Dunmere.dll", Programs().newLibrary);
        BackUpOldBuilds();
        if (row.note) {
            Put(L"Temp\\Tessaly.state", row.note);
        } else {
            Note(BothNoted(UpdateStage::Undo));
        }
        if (!row.backups) {
            DeleteFileW(folder / L"Temp\\TessalyOld\\Ravonyx.exe");
            DeleteFileW(folder / L"Temp\\TessalyOld\\Dunmere.dll");
        }
        if (row.strangers) {
            Put(L"Temp\\TessalyOld\\Ravonyx.exe", row.strangers);
            Put(L"Temp\\TessalyOld\\Dunmere.dll", row.strangers);
        }
        EXPECT_EQ(UpdateOutcome::Undone, ResumeUpdate(job, digest));
        // Left alone: neither deleted nor replaced by what is no backup of theirs.
        EXPECT_TRUE(Read(L"Ravonyx.exe") == Programs().newProgram);
        EXPECT_TRUE(Read(L"Dunmere.dll") == Programs().newLibrary);
        ExpectNoWorkFiles();
    }
}

TEST_F(UpdateResume, ANoteThatCannotBeTrustedIsSetAsideAndNothingIsDone)
{
    const char* const notes[] = {
        // Naming files that are no program files of ours, or outside the folder.
        "undo\r\n0123456789abcdef0123456789abcdef\r\nConfig\\common.ini\r\nend\r\n",
        "undo\r\n0123456789abcdef0123456789abcdef\r\n..\\Ravonyx.exe\r\nend\r\n",
        "install\r\n0123456789abcdef0123456789abcdef\r\nC:\\Windows\\Ravonyx.exe\r\nend\r\n",
        "undo\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nbackup Skins\\blue.xml "
        "0123456789abcdef0123456789abcdef\r\nend\r\n",
        // Cut short, or with more after its end.
        "undo\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nDunm",
        "undo\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nbackup Ravonyx.exe "
        "0123456789abcdef0123456789abcdef\r\n",
        "undo\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nend\r\nDunmere.dll\r\n",
        // Not ours at all.
        "redo\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nend\r\n",
        "undo\r\nnot a digest\r\nRavonyx.exe\r\nend\r\n",
        "undo\r\n0123456789ABCDEF0123456789ABCDEF\r\nRavonyx.exe\r\nend\r\n",
        "undo\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nRavonyx.exe\r\nend\r\n",
        "undo\r\n0123456789abcdef0123456789abcdef\r\nRavonyx.exe\r\nbackup Ravonyx.exe 12\r\nend\r\n",
        "",
    };
    for (const char* note : notes) {
        SCOPED_TRACE(note);
        Put(L"Ravonyx.exe", Programs().newProgram);
        Put(L"Dunmere.dll", Programs().newLibrary);
        Put(L"Config\\common.ini", "the user's settings");
        Put(L"Temp\\TessalyOld\\Ravonyx.exe", "not the program");
        Put(L"Temp\\TessalyUpdate\\Dunmere.dll", Programs().oldLibrary);
        Put(L"Temp\\Tessaly.state", note);
        EXPECT_EQ(UpdateOutcome::None, ResumeUpdate(job, digest));
        EXPECT_TRUE(Read(L"Ravonyx.exe") == Programs().newProgram);
        EXPECT_TRUE(Read(L"Dunmere.dll") == Programs().newLibrary);
        EXPECT_EQ("the user's settings", Read(L"Config\\common.ini"));
        EXPECT_EQ("not the program", Read(L"Temp\\TessalyOld\\Ravonyx.exe"));
        EXPECT_TRUE(FileExists(folder / L"Temp\\TessalyUpdate\\Dunmere.dll"));
        // Kept, out of the way: the next start does not read it again.
        EXPECT_FALSE(FileExists(folder / L"Temp\\Tessaly.state"));
        EXPECT_EQ(note, Read(L"Temp\\Tessaly.state.unread"));
    }
}

} // namespace
