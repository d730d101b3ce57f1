#include "app/dialogs/FolderMove.h"

#include <algorithm>
#include <string>

#include "app/common/ConfigCodec.h"
#include "app/common/FileReplace.h"
#include "app/common/FileUtils.h"
#include "app/dialogs/FolderIdentity.h"
#include "base/Handle.h"

namespace {

const wchar_t kProductFolder[] = L"Ravonyx";
const char kNoteHeader[] = "Ravonyx folder move 1";
const char kNoteEnd[] = "end";

// The longest paths Windows takes without "\\?\": a file's, and a folder's
// (CreateDirectoryW keeps room for an 8.3 file name).
constexpr int kFileLimit = MAX_PATH - 1;
constexpr int kFolderLimit = MAX_PATH - 13;

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool SizeOf(const CString& path, ULONGLONG& size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool HasSize(const CString& path, ULONGLONG size)
{
    ULONGLONG actual = 0;
    return SizeOf(path, actual) && actual == size;
}

// Makes folder unless it is one; true when it is one afterwards.
bool MakeFolder(const CString& folder)
{
    if (IsFolder(folder))
        return true;
    CreateDirectoryW(WithoutSlash(folder), nullptr);
    return IsFolder(folder);
}

// Makes base\relative and the folders on its way under base (base exists).
bool MakeFoldersUnder(const CString& base, const CString& relative)
{
    for (int slash = relative.Find(L'\\'); slash >= 0; slash = relative.Find(L'\\', slash + 1)) {
        if (!MakeFolder(base + relative.Left(slash + 1)))
            return false;
    }
    return true;
}

// The folder part of a relative file path, with its backslash, or "".
CString FolderOf(const CString& relative)
{
    const int slash = relative.ReverseFind(L'\\');
    return slash < 0 ? CString() : relative.Left(slash + 1);
}

// Deletes a file, read-only or not; true when it is gone.
bool RemoveFile(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    DeleteFileW(path);
    return !Exists(path);
}

// Removes a folder that is there and holds nothing.
void RemoveEmptyFolder(const CString& folder)
{
    if (IsFolder(folder))
        RemoveDirectoryW(WithoutSlash(folder));
}

// Removes folder and the folders under it that hold no file.
void RemoveEmptyFolders(const CString& folder)
{
    if (folder.IsEmpty() || !IsFolder(folder))
        return;
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(WithSlash(folder) + L"*", &found));
    if (find) {
        do {
            const CString name = found.cFileName;
            if (name != L"." && name != L".." && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                RemoveEmptyFolders(WithSlash(folder) + name);
        } while (FindNextFileW(find.Get(), &found));
    }
    find.Reset();
    RemoveDirectoryW(WithoutSlash(folder));
}

// Moves one file to a free place, checked on the disk. On another disk the
// file is copied into staging first, renamed into its place from there and
// only then deleted at the source, so that a file under its own name is
// always whole.
bool MoveOneFile(const CString& from, const CString& to, const CString& staging, size_t index)
{
    ULONGLONG size = 0;
    if (!SizeOf(from, size) || Exists(to))
        return false;
    if (!MoveFileExW(from, to, 0)) {
        if (GetLastError() != ERROR_NOT_SAME_DEVICE || !MakeFolder(staging))
            return false;
        CString copy;
        copy.Format(L"%s%u", staging.GetString(), static_cast<unsigned>(index));
        if (!RemoveFile(copy) || !CopyFileW(from, copy, TRUE) || !HasSize(copy, size))
            return false;
        if (!MoveFileExW(copy, to, 0) || !RemoveFile(from))
            return false;
    }
    return !Exists(from) && HasSize(to, size);
}

// Renames a file within its volume, so that it stays the same file; checked
// on the disk.
bool RenameFile(const CString& from, const CString& to)
{
    if (!IsFile(from) || Exists(to))
        return false;
    MoveFileExW(from, to, 0);
    return !Exists(from) && IsFile(to);
}

// A helper folder beside folder that does not exist yet.
CString FreeNameBeside(const CString& folder, const wchar_t* suffix)
{
    const CString base = WithoutSlash(folder) + suffix;
    for (int n = 1; n < 100; ++n) {
        CString name = base;
        if (n > 1)
            name.AppendFormat(L"%d", n);
        if (!Exists(name))
            return name + L"\\";
    }
    return CString();
}

// A relative name the note may hold: inside its folder, plainly written.
bool IsPlainRelative(const CString& name)
{
    if (name.Find(L':') >= 0 || name.Find(L'/') >= 0 || (!name.IsEmpty() && name[0] == L'\\'))
        return false;
    if (name.Find(L"\\\\") >= 0)
        return false;
    const CString padded = L"\\" + name + L"\\";
    return padded.Find(L"\\.\\") < 0 && padded.Find(L"\\..\\") < 0;
}

// A helper folder of the note: beside base, named base + suffix (+ number).
bool IsHelperOf(const CString& helper, const CString& base, const wchar_t* suffix)
{
    const CString stem = WithoutSlash(base) + suffix;
    if (helper.GetLength() < stem.GetLength() + 1 || helper.Left(stem.GetLength()) != stem ||
        helper[helper.GetLength() - 1] != L'\\')
        return false;
    const CString number = helper.Mid(stem.GetLength(), helper.GetLength() - stem.GetLength() - 1);
    for (int i = 0; i < number.GetLength(); ++i) {
        if (number[i] < L'0' || number[i] > L'9')
            return false;
    }
    return number.GetLength() <= 2;
}

// The files a text names, at most this many of each kind.
constexpr size_t kListedFiles = 10;

void ListFiles(CString& text, const std::vector<CString>& files, const CString& at, const CString& belongs)
{
    for (size_t i = 0; i < files.size() && i < kListedFiles; ++i)
        text += L"\n" + at + files[i] + L"（原位置 " + belongs + files[i] + L"）";
    if (files.size() > kListedFiles)
        text.AppendFormat(L"\n……共 %u 个文件", static_cast<unsigned>(files.size()));
}

CString DecimalText(ULONGLONG value)
{
    wchar_t digits[24];
    int at = 23;
    digits[at] = L'\0';
    do {
        digits[--at] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return CString(digits + at);
}

// The number at the start of text; null when there is none or it is too
// long.
const wchar_t* ReadDecimal(const wchar_t* text, ULONGLONG& value)
{
    value = 0;
    int count = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text, ++count) {
        if (count == 19)
            return nullptr;
        value = value * 10 + static_cast<ULONGLONG>(*text - L'0');
    }
    return count > 0 ? text : nullptr;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool ReadWholeFile(const CString& path, std::string& bytes)
{
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 64 * 1024 * 1024)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() || (ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                             read == bytes.size());
}

} // namespace

CFolderMove::CFolderMove(const CString& programDir)
    : m_note(NotePath(programDir)), m_ini(programDir + L"Config\\common.ini")
{
}

CString CFolderMove::NotePath(const CString& programDir)
{
    return programDir + L"Config\\foldermove.txt";
}

CFolderMove::Prepared CFolderMove::Prepare(const CString& oldPath, const CString& newPath)
{
    m_oldPath = oldPath;
    m_newPath = newPath;
    m_from = FullFolderPath(WithSlash(oldPath)) + kProductFolder + L"\\";
    m_to = FullFolderPath(WithSlash(newPath)) + kProductFolder + L"\\";
    m_roots.clear();
    m_folders.clear();
    m_made.clear();
    m_files.clear();
    m_undoReport.Empty();
    m_keptReport.Empty();
    if (!IsFolder(m_from) || (Exists(WithoutSlash(m_to)) && !IsFolder(m_to)))
        return Prepared::Failed;
    m_targetExisted = IsFolder(m_to);

    // The folders above the target that are missing.
    for (CString head = WithoutSlash(FullFolderPath(WithSlash(newPath)));
         head.GetLength() > 3 && !Exists(head);) {
        m_roots.insert(m_roots.begin(), head + L"\\");
        head = head.Left(head.ReverseFind(L'\\'));
    }
    if (!Collect(CString()))
        return Prepared::Failed;
    m_kept = FreeNameBeside(m_to, L".kept");
    m_stage = FreeNameBeside(m_to, L".moving");
    m_back = FreeNameBeside(m_from, L".moving");
    if (m_kept.IsEmpty() || m_stage.IsEmpty() || m_back.IsEmpty())
        return Prepared::Failed;
    return FitsMaxPath() ? Prepared::Ready : Prepared::TooLong;
}

bool CFolderMove::Collect(const CString& relative)
{
    m_folders.push_back(relative);
    if (!IsFolder(m_to + relative)) {
        if (Exists(m_to + WithoutSlash(relative)))
            return false; // a file of the target stands where the folder goes
        m_made.push_back(relative);
    }
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(m_from + relative + L"*", &found));
    if (!find)
        return false;
    std::vector<CString> folders;
    do {
        const CString name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        // A link would move the files of another folder.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return false;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            folders.push_back(relative + name + L"\\");
            continue;
        }
        File file;
        file.name = relative + name;
        file.size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        if (IsFolder(m_to + file.name))
            return false; // a folder of the target stands where the file goes
        file.keep = Exists(m_to + file.name);
        if (file.keep && !Identify(m_to + file.name, file.original))
            return false;
        m_files.push_back(file);
    } while (FindNextFileW(find.Get(), &found));
    find.Reset();
    for (const CString& folder : folders) {
        if (!Collect(folder))
            return false;
    }
    return true;
}

bool CFolderMove::Identify(const CString& path, FileId& id)
{
    CFileHandle file(CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!file || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    id.volume = info.dwVolumeSerialNumber;
    id.high = info.nFileIndexHigh;
    id.low = info.nFileIndexLow;
    id.writtenHigh = info.ftLastWriteTime.dwHighDateTime;
    id.writtenLow = info.ftLastWriteTime.dwLowDateTime;
    return true;
}

bool CFolderMove::IsOriginal(const CString& path, const File& file) const
{
    FileId id;
    return file.keep && Identify(path, id) && id == file.original;
}

bool CFolderMove::FitsMaxPath() const
{
    auto folderFits = [](const CString& folder) { return WithoutSlash(folder).GetLength() <= kFolderLimit; };
    auto fileFits = [](const CString& file) { return file.GetLength() <= kFileLimit; };
    // A copy on its way is named by its number.
    CString copy;
    copy.Format(L"%u", static_cast<unsigned>(m_files.size()));
    if (!folderFits(m_stage) || !folderFits(m_back) || !fileFits(m_stage + copy) || !fileFits(m_back + copy))
        return false;
    for (const CString& folder : m_folders) {
        if (!folderFits(m_to + folder))
            return false;
    }
    for (const File& file : m_files) {
        if (!fileFits(m_to + file.name))
            return false;
        if (file.keep && (!fileFits(m_kept + file.name) || !folderFits(m_kept + FolderOf(file.name))))
            return false;
    }
    return true;
}

std::string CFolderMove::NoteText() const
{
    std::string text = std::string(kNoteHeader) + "\n";
    auto line = [&](const char* key, const CString& value) {
        text += key;
        text += "=";
        text += value.ToUtf8();
        text += "\n";
    };
    line("old", m_oldPath);
    line("new", m_newPath);
    line("from", m_from);
    line("to", m_to);
    line("kept", m_kept);
    line("stage", m_stage);
    line("back", m_back);
    for (const CString& root : m_roots)
        line("root", root);
    for (const CString& folder : m_folders)
        line("folder", folder);
    for (const CString& folder : m_made)
        line("made", folder);
    for (const File& file : m_files) {
        const FileId& id = file.original;
        line("file", DecimalText(file.size) + (file.keep ? L"|1|" : L"|0|") + DecimalText(id.volume) + L"." +
                         DecimalText(id.high) + L"." + DecimalText(id.low) + L"." +
                         DecimalText(id.writtenHigh) + L"." + DecimalText(id.writtenLow) + L"|" + file.name);
    }
    text += std::string(kNoteEnd) + "\n";
    return text;
}

bool CFolderMove::WriteNote() const
{
    std::string back;
    return ReplaceFileBytes(m_note, NoteText()) && ReadWholeFile(m_note, back) && back == NoteText();
}

bool CFolderMove::DeleteNote() const
{
    DeleteFileW(m_note);
    return !Exists(m_note);
}

bool CFolderMove::ReadNote()
{
    std::string bytes;
    if (!ReadWholeFile(m_note, bytes))
        return false;
    const std::vector<std::string> lines = SplitLines(bytes);
    if (lines.size() < 2 || lines.front() != kNoteHeader || lines.back() != kNoteEnd)
        return false;
    m_roots.clear();
    m_folders.clear();
    m_made.clear();
    m_files.clear();
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const size_t equals = lines[i].find('=');
        if (equals == std::string::npos)
            return false;
        const std::string key = lines[i].substr(0, equals);
        const CString value = CString::FromUtf8(lines[i].c_str() + equals + 1);
        if (key == "old") {
            m_oldPath = value;
        } else if (key == "new") {
            m_newPath = value;
        } else if (key == "from") {
            m_from = value;
        } else if (key == "to") {
            m_to = value;
        } else if (key == "kept") {
            m_kept = value;
        } else if (key == "stage") {
            m_stage = value;
        } else if (key == "back") {
            m_back = value;
        } else if (key == "root") {
            m_roots.push_back(value);
        } else if (key == "folder") {
            m_folders.push_back(value);
        } else if (key == "made") {
            m_made.push_back(value);
        } else if (key == "file") {
            File file;
            const wchar_t* end = ReadDecimal(value, file.size);
            if (!end || end[0] != L'|' || (end[1] != L'0' && end[1] != L'1') || end[2] != L'|')
                return false;
            file.keep = end[1] == L'1';
            FileId& id = file.original;
            DWORD* const parts[] = {&id.volume, &id.high, &id.low, &id.writtenHigh, &id.writtenLow};
            const wchar_t* separators = L"....|";
            for (int part = 0; part < 5; ++part) {
                ULONGLONG number = 0;
                end = ReadDecimal(end + (part == 0 ? 3 : 1), number);
                if (!end || *end != separators[part] || number > 0xFFFFFFFFull)
                    return false;
                *parts[part] = static_cast<DWORD>(number);
            }
            file.name = CString(end + 1);
            m_files.push_back(file);
        } else {
            return false;
        }
    }
    return NoteIsSound();
}

bool CFolderMove::NoteIsSound() const
{
    // Everything it names lies in the two product folders or beside them.
    const CString product = CString(kProductFolder) + L"\\";
    if (m_oldPath.IsEmpty() || m_newPath.IsEmpty() || m_oldPath == m_newPath ||
        m_from != FullFolderPath(WithSlash(m_oldPath)) + product ||
        m_to != FullFolderPath(WithSlash(m_newPath)) + product || !IsHelperOf(m_kept, m_to, L".kept") ||
        !IsHelperOf(m_stage, m_to, L".moving") || !IsHelperOf(m_back, m_from, L".moving"))
        return false;
    const CString newRoot = FullFolderPath(WithSlash(m_newPath));
    for (const CString& root : m_roots) {
        if (root.GetLength() > newRoot.GetLength() || newRoot.Left(root.GetLength()) != root ||
            root[root.GetLength() - 1] != L'\\')
            return false;
    }
    auto isFolderName = [](const CString& name) {
        return IsPlainRelative(name) && (name.IsEmpty() || name[name.GetLength() - 1] == L'\\');
    };
    if (!std::all_of(m_folders.begin(), m_folders.end(), isFolderName) ||
        !std::all_of(m_made.begin(), m_made.end(), isFolderName))
        return false;
    return std::all_of(m_files.begin(), m_files.end(), [](const File& file) {
        return !file.name.IsEmpty() && IsPlainRelative(file.name) &&
               file.name[file.name.GetLength() - 1] != L'\\';
    });
}

CFolderMove::Outcome CFolderMove::Run()
{
    m_undoReport.Empty();
    m_keptReport.Empty();
    if (!WriteNote()) {
        DeleteNote();
        return Outcome::MoveFailed;
    }
    if (!MakeFolders() || !MoveFiles() || !RemoveSourceFolders() || !AllAtTarget()) {
        Undo();
        return Outcome::MoveFailed;
    }
    // The move counts as done from here on.
    if (!WritePath()) {
        Undo();
        return Outcome::PathNotWritten;
    }
    Finish();
    return Outcome::Moved;
}

bool CFolderMove::MakeFolders() const
{
    for (const CString& root : m_roots) {
        if (!MakeFolder(root))
            return false;
    }
    for (const CString& folder : m_made) {
        if (!MakeFolder(m_to + folder))
            return false;
    }
    return true;
}

bool CFolderMove::MoveFiles() const
{
    for (size_t i = 0; i < m_files.size(); ++i) {
        const File& file = m_files[i];
        if (file.keep) {
            const CString kept = m_kept + file.name;
            if (!MakeFolder(m_kept) || !MakeFoldersUnder(m_kept, FolderOf(file.name)))
                return false;
            // Renamed, so that the undo and the clean-up know it for the
            // target's own file by its identity, whatever else lies there.
            if (!IsOriginal(m_to + file.name, file) || !RenameFile(m_to + file.name, kept) ||
                !IsOriginal(kept, file))
                return false;
        }
        if (!MoveOneFile(m_from + file.name, m_to + file.name, m_stage, i))
            return false;
    }
    RemoveStagingFolder(m_stage);
    return true;
}

bool CFolderMove::RemoveSourceFolders() const
{
    for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it)
        RemoveEmptyFolder(m_from + *it);
    // What the source still holds was not in the plan: it would stay behind.
    return !Exists(WithoutSlash(m_from));
}

bool CFolderMove::AllAtTarget() const
{
    for (const CString& folder : m_folders) {
        if (!IsFolder(m_to + folder))
            return false;
    }
    return std::all_of(m_files.begin(), m_files.end(), [&](const File& file) {
        return HasSize(m_to + file.name, file.size) && !Exists(m_from + file.name);
    });
}

bool CFolderMove::WritePath() const
{
    if (!WriteConfigValue(L"DownLoad", L"Path", m_newPath, m_ini))
        return false;
    CString stored;
    return ReadConfigValue(L"DownLoad", L"Path", m_ini, L"", MAX_PATH, stored) && stored == m_newPath;
}

void CFolderMove::UndoFile(size_t index) const
{
    const File& file = m_files[index];
    const CString source = m_from + file.name;
    const CString target = m_to + file.name;
    const CString kept = m_kept + file.name;
    // The target's own file is known by its identity, wherever it lies; a
    // file in the kept folder that is not it belongs to someone else.
    const bool keptIsOriginal = IsOriginal(kept, file);
    const bool targetIsOurs = !file.keep || (keptIsOriginal && !IsOriginal(target, file));
    if (Exists(source)) {
        // Both whole: the copy at the target goes.
        if (targetIsOurs && IsFile(target) && HasSize(target, file.size))
            RemoveFile(target);
    } else if (targetIsOurs && IsFile(target)) {
        MoveOneFile(target, source, m_back, index);
    }
    if (keptIsOriginal && !Exists(target))
        RenameFile(kept, target);
}

void CFolderMove::Undo()
{
    for (const CString& folder : m_folders)
        MakeFolder(m_from + folder);
    for (size_t i = 0; i < m_files.size(); ++i)
        UndoFile(i);
    RemoveStagingFolder(m_stage);
    RemoveStagingFolder(m_back);
    RemoveEmptyFolders(m_kept);
    for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
        RemoveEmptyFolder(m_to + *it);
    for (auto it = m_roots.rbegin(); it != m_roots.rend(); ++it)
        RemoveEmptyFolder(*it);

    std::vector<CString> inTarget;
    std::vector<CString> kept;
    for (const File& file : m_files) {
        if (!Exists(m_from + file.name))
            inTarget.push_back(file.name);
        if (IsOriginal(m_kept + file.name, file))
            kept.push_back(file.name);
    }
    const bool foldersBack = std::all_of(m_folders.begin(), m_folders.end(),
                                         [&](const CString& folder) { return IsFolder(m_from + folder); });
    if (inTarget.empty() && kept.empty() && foldersBack && DeleteNote())
        return;
    m_undoReport = LeftoversText(inTarget, kept);
}

// A copy on its way, named by the number of its file, is a copy of a file
// whose original is still in its place. Nothing else in the folder is
// deleted: the folder goes only when that leaves it empty.
void CFolderMove::RemoveStagingFolder(const CString& folder) const
{
    if (folder.IsEmpty() || !IsFolder(folder))
        return;
    for (size_t i = 0; i < m_files.size(); ++i) {
        CString copy;
        copy.Format(L"%s%u", folder.GetString(), static_cast<unsigned>(i));
        RemoveFile(copy);
    }
    RemoveDirectoryW(WithoutSlash(folder));
}

void CFolderMove::Finish()
{
    std::vector<CString> left;
    for (const File& file : m_files) {
        // Only the target's own file is deleted; another file under its name
        // is left where it is.
        const CString kept = m_kept + file.name;
        if (file.keep && Exists(kept) && (!IsOriginal(kept, file) || !RemoveFile(kept)))
            left.push_back(file.name);
    }
    RemoveEmptyFolders(m_kept);
    RemoveStagingFolder(m_stage);
    RemoveStagingFolder(m_back);
    for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it)
        RemoveEmptyFolder(m_from + *it);
    // Deleting the kept files is all that remains: the note goes either way.
    DeleteNote();
    if (!left.empty() || Exists(WithoutSlash(m_kept))) {
        m_keptReport = L"新文件夹中原有的同名文件无法删除，已保留在 " + m_kept + L" 中，请手动删除！";
        ListFiles(m_keptReport, left, m_kept, m_to);
    }
}

CString CFolderMove::LeftoversText(const std::vector<CString>& inTarget,
                                   const std::vector<CString>& kept) const
{
    CString text = L"无法把文件全部移回原来的位置，请手动移回以下文件！";
    if (!inTarget.empty()) {
        text += L"\n仍在新文件夹中：";
        ListFiles(text, inTarget, m_to, m_from);
    }
    if (!kept.empty()) {
        text += L"\n新文件夹原有的同名文件，保存在 " + m_kept + L" 中：";
        ListFiles(text, kept, m_kept, m_to);
    }
    return text;
}

bool CFolderMove::Recover(CString& report)
{
    report.Empty();
    // A note a kill left half written never took the place of one.
    const CString unfinished = ReplacementFilePath(m_note);
    if (Exists(unfinished))
        DeleteFileW(unfinished);
    if (!Exists(m_note))
        return true;
    if (!ReadNote()) {
        // Set aside, never acted on.
        MoveFileExW(m_note, m_note + L".bad", MOVEFILE_REPLACE_EXISTING);
        return !Exists(m_note);
    }
    CString stored;
    if (!ReadConfigValue(L"DownLoad", L"Path", m_ini, L"", MAX_PATH, stored))
        return false; // nothing tells which way to go: everything stays
    m_undoReport.Empty();
    m_keptReport.Empty();
    if (stored == m_newPath) {
        Finish();
        report = m_keptReport;
    } else {
        Undo();
        report = m_undoReport;
    }
    return !Exists(m_note);
}
