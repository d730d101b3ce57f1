#include "tools/extract/ZipExtractor.h"

#include "base/Handle.h"
#include "tools/extract/Console.h"
#include "tools/extract/EntryName.h"

#include <unzip.h>
// after unzip.h, which it builds on
#include <iowin32.h>

#include <set>
#include <string>
#include <vector>

namespace {

using CZipFile = CUniqueHandle<NullHandleTraits<unzFile, &unzClose>>;

const unsigned long kFlagEncrypted = 0x1;
const unsigned long kFlagUtf8Name = 0x800;
const unsigned long kMethodStored = 0;
const size_t kCopyBufferSize = 64 * 1024;

// What one archive may unpack to, checked before anything is written: at
// most this many entries, and at most 64 times the archive's own size and
// never more than 2 GiB.
const size_t kMaxEntries = 10000;
const ZPOS64_T kMaxExpansion = 64;
const ZPOS64_T kMaxUnpackedBytes = ZPOS64_T(2) << 30;

struct Entry {
    EntryPath path;
    bool encrypted = false;
    ZPOS64_T size = 0;
};

// The current entry of the archive, open for reading until Close or the end
// of the scope.
class COpenEntry {
public:
    explicit COpenEntry(unzFile zip) noexcept : m_zip(zip) {}
    COpenEntry(const COpenEntry&) = delete;
    COpenEntry& operator=(const COpenEntry&) = delete;
    ~COpenEntry()
    {
        if (m_open)
            unzCloseCurrentFile(m_zip);
    }

    int Open(const char* password)
    {
        const int err = unzOpenCurrentFilePassword(m_zip, password);
        m_open = err == UNZ_OK;
        return err;
    }

    // UNZ_CRCERROR when all the data was read and its checksum is wrong.
    int Close()
    {
        m_open = false;
        return unzCloseCurrentFile(m_zip);
    }

private:
    unzFile m_zip;
    bool m_open = false;
};

// zlib reports a failed allocation as Z_MEM_ERROR; anything else that goes
// wrong while reading means the archive is damaged or the password wrong.
ExitCode ReadFailure(int err)
{
    return err == Z_MEM_ERROR ? kExitOutOfMemory : kExitFatalError;
}

bool IsFolder(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates the folder and every missing folder above it.
bool CreateFolders(const CString& path)
{
    if (IsFolder(path))
        return true;
    for (int i = path.Find(L'\\'); i >= 0; i = path.Find(L'\\', i + 1)) {
        if (i > 0)
            CreateDirectoryW(path.Left(i), nullptr);
    }
    CreateDirectoryW(path, nullptr);
    return IsFolder(path);
}

ExitCode ReadEntry(unzFile zip, Entry& entry)
{
    unz_file_info64 info = {};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return kExitFatalError;
    std::vector<char> name(info.size_filename + 1);
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr,
                                0) != UNZ_OK)
        return kExitFatalError;
    const CString text =
        DecodeEntryName(name.data(), static_cast<int>(info.size_filename), (info.flag & kFlagUtf8Name) != 0);
    const std::optional<EntryPath> path = MakeEntryPath(text);
    if (!path) {
        PrintError(L"refused entry name: " + text);
        return kExitFatalError;
    }
    if (info.compression_method != kMethodStored && info.compression_method != Z_DEFLATED) {
        PrintError(L"unsupported compression method: " + text);
        return kExitFatalError;
    }
    entry.path = *path;
    entry.encrypted = (info.flag & kFlagEncrypted) != 0;
    entry.size = info.uncompressed_size;
    return kExitSuccess;
}

ZPOS64_T UnpackedBound(const CString& archive)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(archive, GetFileExInfoStandard, &data))
        return 0;
    const ZPOS64_T size = (static_cast<ZPOS64_T>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return size >= kMaxUnpackedBytes / kMaxExpansion ? kMaxUnpackedBytes : size * kMaxExpansion;
}

// Reads and checks every entry before anything is written.
ExitCode ListEntries(unzFile zip, ZPOS64_T bound, std::vector<Entry>& entries)
{
    unz_global_info64 global = {};
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK)
        return kExitFatalError;
    if (global.number_entry == 0)
        return kExitSuccess;
    ZPOS64_T total = 0;
    int err = unzGoToFirstFile(zip);
    while (err == UNZ_OK) {
        if (entries.size() == kMaxEntries) {
            PrintError(L"more entries than an archive may hold");
            return kExitFatalError;
        }
        Entry entry;
        const ExitCode code = ReadEntry(zip, entry);
        if (code != kExitSuccess)
            return code;
        if (entry.size > bound - total) {
            PrintError(L"the archive unpacks to more than it may");
            return kExitFatalError;
        }
        total += entry.size;
        entries.push_back(entry);
        err = unzGoToNextFile(zip);
    }
    if (err != UNZ_END_OF_LIST_OF_FILE) {
        PrintError(L"damaged archive directory");
        return kExitFatalError;
    }
    return kExitSuccess;
}

// Windows compares names without regard to case.
std::wstring PathKey(const CString& path)
{
    std::wstring key(path.GetString(), static_cast<size_t>(path.GetLength()));
    if (!key.empty())
        CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

// The longest paths Windows makes without the "\\?\" prefix: a file's whole
// path stays below MAX_PATH, a folder's leaves room for an 8.3 name in it.
const int kMaxFilePath = MAX_PATH - 1;
const int kMaxFolderPath = MAX_PATH - 12 - 1;

// Every path the entries make, file or folder.
struct PathKinds {
    std::set<std::wstring> named; // the entries' own paths
    std::set<std::wstring> files;
    std::set<std::wstring> folders;
    std::vector<CString> fileTargets;
    std::vector<CString> folderTargets;
};

// What is wrong with the entries' paths taken together, "" when nothing: two
// entries of one path (Windows makes "a.txt" and "A.TXT" one file), a path
// that is both a file and a folder, or one too long for Windows.
CString CollectPathKinds(const std::vector<Entry>& entries, const CString& folder, PathKinds& kinds)
{
    for (const Entry& entry : entries) {
        const CString& path = entry.path.relative;
        if (path.IsEmpty())
            continue;
        if (!kinds.named.insert(PathKey(path)).second)
            return L"two entries name the same path: " + path;
        for (int i = path.Find(L'\\'); i >= 0; i = path.Find(L'\\', i + 1)) {
            if (kinds.folders.insert(PathKey(path.Left(i))).second)
                kinds.folderTargets.push_back(folder + path.Left(i));
        }
        if (entry.path.isFolder) {
            if (kinds.folders.insert(PathKey(path)).second)
                kinds.folderTargets.push_back(folder + path);
        } else if (kinds.files.insert(PathKey(path)).second) {
            kinds.fileTargets.push_back(folder + path);
        }
    }
    for (const std::wstring& file : kinds.files) {
        if (kinds.folders.count(file))
            return L"a path of the archive is both a file and a folder";
    }
    for (const CString& path : kinds.fileTargets) {
        if (path.GetLength() > kMaxFilePath)
            return L"a path too long for Windows: " + path;
    }
    for (const CString& path : kinds.folderTargets) {
        if (path.GetLength() > kMaxFolderPath)
            return L"a folder path too long for Windows: " + path;
    }
    return CString();
}

// The archive's paths may be neither files and folders at once nor, in the
// target, of the other kind than what is there already.
ExitCode CheckPathKinds(const std::vector<Entry>& entries, const CString& folder)
{
    PathKinds kinds;
    const CString problem = CollectPathKinds(entries, folder, kinds);
    if (!problem.IsEmpty()) {
        PrintError(problem);
        return kExitFatalError;
    }
    for (const CString& path : kinds.folderTargets) {
        const DWORD attributes = GetFileAttributesW(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            PrintError(L"a file stands where a folder goes: " + path);
            return kExitWriteError;
        }
    }
    for (const CString& path : kinds.fileTargets) {
        const DWORD attributes = GetFileAttributesW(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            PrintError(L"a folder stands where a file goes: " + path);
            return kExitWriteError;
        }
    }
    return kExitSuccess;
}

ExitCode CopyEntryData(unzFile zip, HANDLE file, std::vector<char>& buffer, ZPOS64_T expectedSize)
{
    ZPOS64_T total = 0;
    for (;;) {
        const int read = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (read == 0)
            break;
        if (read < 0)
            return ReadFailure(read);
        DWORD written = 0;
        if (!WriteFile(file, buffer.data(), static_cast<DWORD>(read), &written, nullptr) ||
            written != static_cast<DWORD>(read))
            return kExitWriteError;
        total += static_cast<ZPOS64_T>(read);
        if (total > expectedSize)
            return kExitFatalError;
    }
    // A stream that ends early is never checksummed by the reader.
    return total == expectedSize ? kExitSuccess : kExitFatalError;
}

ExitCode ExtractFile(unzFile zip, const Entry& entry, const CString& target, const std::string& password,
                     std::vector<char>& buffer)
{
    if (entry.encrypted && password.empty()) {
        PrintError(L"a password is needed for " + entry.path.relative);
        return kExitFatalError;
    }
    COpenEntry reader(zip);
    const int err = reader.Open(entry.encrypted ? password.c_str() : nullptr);
    if (err != UNZ_OK) {
        PrintError(L"cannot read " + entry.path.relative);
        return ReadFailure(err);
    }
    if (!CreateFolders(target.Left(target.ReverseFind(L'\\')))) {
        PrintError(L"cannot create the folder of " + target);
        return kExitWriteError;
    }
    CFileHandle file(
        CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        PrintError(L"cannot write " + target);
        return kExitWriteError;
    }
    ExitCode code = CopyEntryData(zip, file, buffer, entry.size);
    if (reader.Close() == UNZ_CRCERROR && code == kExitSuccess)
        code = kExitFatalError;
    file.Reset();
    if (code != kExitSuccess) {
        // Half-written or garbled data (damage, a wrong password) is not kept.
        PrintError(code == kExitWriteError ? L"cannot write " + target
                                           : L"damaged data or wrong password: " + entry.path.relative);
        DeleteFileW(target);
    }
    return code;
}

ExitCode ExtractEntry(unzFile zip, const Entry& entry, const CString& folder, const std::string& password,
                      std::vector<char>& buffer)
{
    const CString target = folder + entry.path.relative;
    if (!entry.path.isFolder)
        return ExtractFile(zip, entry, target, password, buffer);
    if (CreateFolders(target))
        return kExitSuccess;
    PrintError(L"cannot create the folder " + target);
    return kExitWriteError;
}

// True for a valid archive without entries: only its end record (22 bytes
// and its comment) at the very start of the file. The zip reader takes an
// end record at offset 0 for none at all and refuses such a file.
bool IsEmptyArchive(const CString& path)
{
    const size_t kEndRecordSize = 22;
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file, &size) || size.QuadPart < static_cast<LONGLONG>(kEndRecordSize) ||
        size.QuadPart > static_cast<LONGLONG>(kEndRecordSize + 0xFFFF))
        return false;
    unsigned char record[kEndRecordSize];
    DWORD read = 0;
    if (!ReadFile(file, record, sizeof(record), &read, nullptr) || read != sizeof(record))
        return false;
    auto word = [&record](size_t at) { return static_cast<unsigned>(record[at] | (record[at + 1] << 8)); };
    auto dword = [&word](size_t at) { return word(at) | (word(at + 2) << 16); };
    const bool signature = dword(0) == 0x06054B50;
    const bool nothingListed =
        word(4) == 0 && word(6) == 0 && word(8) == 0 && word(10) == 0 && dword(12) == 0 && dword(16) == 0;
    const bool commentFills = kEndRecordSize + word(20) == static_cast<size_t>(size.QuadPart);
    return signature && nothingListed && commentFills;
}

// The target folder as a full path, as Windows measures its length, with
// "\" separators and a trailing "\".
CString TargetFolder(const CString& folder)
{
    CString result = folder;
    result.Replace(L'/', L'\\');
    std::vector<wchar_t> full(static_cast<size_t>(result.GetLength()) + MAX_PATH);
    const DWORD length = GetFullPathNameW(result, static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length > 0 && length < full.size())
        result = full.data();
    if (result[result.GetLength() - 1] != L'\\')
        result += L'\\';
    return result;
}

} // namespace

ExitCode ExtractArchive(const ExtractCommand& command)
{
    zlib_filefunc64_def io = {};
    fill_win32_filefunc64W(&io);
    CZipFile zip(unzOpen2_64(command.archive.GetString(), &io));
    if (!zip && !IsEmptyArchive(command.archive)) {
        PrintError(L"cannot open the archive " + command.archive);
        return kExitFatalError;
    }
    std::vector<Entry> entries;
    ExitCode code = zip ? ListEntries(zip, UnpackedBound(command.archive), entries) : kExitSuccess;
    if (code != kExitSuccess)
        return code;

    const CString folder = TargetFolder(command.folder);
    code = CheckPathKinds(entries, folder);
    if (code != kExitSuccess)
        return code;
    if (!CreateFolders(folder)) {
        PrintError(L"cannot create the folder " + folder);
        return kExitWriteError;
    }
    const std::string password = command.password.ToAnsi();
    std::vector<char> buffer(kCopyBufferSize);
    for (size_t i = 0; i < entries.size(); ++i) {
        if ((i == 0 ? unzGoToFirstFile(zip) : unzGoToNextFile(zip)) != UNZ_OK)
            return kExitFatalError;
        code = ExtractEntry(zip, entries[i], folder, password, buffer);
        if (code != kExitSuccess)
            return code;
    }
    return kExitSuccess;
}
