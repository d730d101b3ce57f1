#include "app/common/UpdateJournal.h"

#include "app/common/FileReplace.h"
#include "app/common/TextUtils.h"
#include "base/Handle.h"

#include <string>

namespace {

const wchar_t kJournalName[] = L"Tessaly.state";
const wchar_t kInstallWord[] = L"install";
const wchar_t kUndoWord[] = L"undo";
// A note is a few short lines; anything longer is no note of ours.
constexpr DWORD kLargestJournal = 4096;

} // namespace

CString UpdateJournalPath(const CString& workFolder)
{
    return workFolder + kJournalName;
}

bool WriteUpdateJournal(const CString& workFolder, const UpdateJournal& journal)
{
    CString text = journal.stage == UpdateStage::Undo ? kUndoWord : kInstallWord;
    text += L"\r\n" + journal.digest + L"\r\n";
    for (const CString& name : journal.programFiles)
        text += name + L"\r\n";
    return ReplaceFileBytes(UpdateJournalPath(workFolder), text.ToUtf8());
}

bool ReadUpdateJournal(const CString& workFolder, UpdateJournal& journal)
{
    CFileHandle file(CreateFileW(UpdateJournalPath(workFolder), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::string bytes(kLargestJournal + 1, '\0');
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read > kLargestJournal)
        return false;
    bytes.resize(read);
    std::vector<CString> lines;
    SplitString(CString::FromUtf8(bytes.c_str()), L"\r\n", lines, 0, CString());
    // The text ends with a line break, so the last piece is empty.
    if (lines.size() < 3 || !lines.back().IsEmpty())
        return false;
    lines.pop_back();
    UpdateJournal parsed;
    if (lines[0] == kUndoWord)
        parsed.stage = UpdateStage::Undo;
    else if (lines[0] != kInstallWord)
        return false;
    parsed.digest = lines[1];
    parsed.programFiles.assign(lines.begin() + 2, lines.end());
    journal = parsed;
    return true;
}

bool RemoveUpdateJournal(const CString& workFolder)
{
    const CString path = UpdateJournalPath(workFolder);
    return DeleteFileW(path) || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES;
}
