#include "app/common/UpdateJournal.h"

#include "app/common/FileReplace.h"
#include "app/common/TextUtils.h"
#include "base/Handle.h"

#include <algorithm>
#include <string>

namespace {

const wchar_t kJournalName[] = L"Tessaly.state";
const wchar_t kAsideSuffix[] = L".unread";
const wchar_t kInstallWord[] = L"install";
const wchar_t kUndoWord[] = L"undo";
// "backup <name> <md5>": the old version of a program file was kept.
const wchar_t kBackupWord[] = L"backup ";
// The last line of a whole note. Notes of older updaters end without it,
// and list no backups.
const wchar_t kEndWord[] = L"end";
// A note is a few short lines; anything longer is no note of ours.
constexpr DWORD kLargestJournal = 4096;

bool IsMd5Text(const CString& text)
{
    if (text.GetLength() != 32)
        return false;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t c = text[i];
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f')))
            return false;
    }
    return true;
}

bool IsNotedProgramFile(const CString& name)
{
    for (const wchar_t* known : kNotedProgramFiles) {
        if (name == known)
            return true;
    }
    return false;
}

template <typename List, typename Same> bool Contains(const List& list, Same same)
{
    return std::find_if(list.begin(), list.end(), same) != list.end();
}

// The note's lines after the stage and the digest.
bool ParseFileLines(const std::vector<CString>& lines, UpdateJournal& parsed)
{
    bool ended = false;
    for (size_t i = 2; i < lines.size(); ++i) {
        const CString& line = lines[i];
        if (ended)
            return false;
        if (line == kEndWord) {
            ended = true;
        } else if (line.Left(7) == kBackupWord) {
            const CString rest = line.Mid(7);
            const int blank = rest.Find(L' ');
            if (blank < 0)
                return false;
            UpdateBackup backup{rest.Left(blank), rest.Mid(blank + 1)};
            const bool brought =
                Contains(parsed.programFiles, [&](const CString& n) { return n == backup.name; });
            if (!brought || !IsMd5Text(backup.md5) || parsed.BackupOf(backup.name))
                return false;
            parsed.backups.push_back(backup);
        } else {
            // The program files come before their backups.
            if (!parsed.backups.empty() || !IsNotedProgramFile(line) ||
                Contains(parsed.programFiles, [&](const CString& n) { return n == line; }))
                return false;
            parsed.programFiles.push_back(line);
        }
    }
    // A note of an older updater: no end line and no backups listed.
    if (!ended && !parsed.backups.empty())
        return false;
    parsed.backupsListed = ended;
    return true;
}

} // namespace

const UpdateBackup* UpdateJournal::BackupOf(const CString& name) const
{
    for (const UpdateBackup& backup : backups) {
        if (backup.name == name)
            return &backup;
    }
    return nullptr;
}

CString UpdateJournalPath(const CString& workFolder)
{
    return workFolder + kJournalName;
}

bool WriteUpdateJournal(const CString& workFolder, const UpdateJournal& journal)
{
    // The stage and the digest come first, as older programs read them.
    CString text = journal.stage == UpdateStage::Undo ? kUndoWord : kInstallWord;
    text += L"\r\n" + journal.digest + L"\r\n";
    for (const CString& name : journal.programFiles)
        text += name + L"\r\n";
    for (const UpdateBackup& backup : journal.backups)
        text += kBackupWord + backup.name + L" " + backup.md5 + L"\r\n";
    text += CString(kEndWord) + L"\r\n";
    return ReplaceFileBytes(UpdateJournalPath(workFolder), text.ToUtf8());
}

JournalRead ReadUpdateJournal(const CString& workFolder, UpdateJournal& journal)
{
    CFileHandle file(CreateFileW(UpdateJournalPath(workFolder), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? JournalRead::None
                                                                              : JournalRead::Unreadable;
    }
    std::string bytes(kLargestJournal + 1, '\0');
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read > kLargestJournal)
        return JournalRead::Unreadable;
    bytes.resize(read);
    if (bytes.find('\0') != std::string::npos)
        return JournalRead::Unreadable;
    std::vector<CString> lines;
    SplitString(CString::FromUtf8(bytes.c_str()), L"\r\n", lines, 0, CString());
    // The text ends with a line break, so the last piece is empty.
    if (lines.size() < 3 || !lines.back().IsEmpty())
        return JournalRead::Unreadable;
    lines.pop_back();
    UpdateJournal parsed;
    if (lines[0] == kUndoWord)
        parsed.stage = UpdateStage::Undo;
    else if (lines[0] != kInstallWord)
        return JournalRead::Unreadable;
    parsed.digest = lines[1];
    if (!IsMd5Text(parsed.digest) || !ParseFileLines(lines, parsed))
        return JournalRead::Unreadable;
    journal = parsed;
    return JournalRead::Read;
}

bool RemoveUpdateJournal(const CString& workFolder)
{
    const CString path = UpdateJournalPath(workFolder);
    return DeleteFileW(path) || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES;
}

bool SetUpdateJournalAside(const CString& workFolder)
{
    const CString path = UpdateJournalPath(workFolder);
    return MoveFileExW(path, path + kAsideSuffix, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
