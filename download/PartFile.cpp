#include "download/PartFile.h"

#include "base/Handle.h"

#include <windows.h>

namespace {

// The merge copies most of the file while the user waits: in blocks that
// are few per byte yet stay in the processor's cache between the read and
// the write (256 KiB measured faster than 128 KiB and than 1 MiB, under Wine
// and natively alike).
constexpr DWORD kCopyBlock = 256 * 1024;

bool SetFileSize(HANDLE file, uint32_t size)
{
    return SetFilePointer(file, static_cast<LONG>(size), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           SetEndOfFile(file) != FALSE;
}

// Copies the part's range from its part file to its place in the target.
bool CopyPartFile(HANDLE target, const PartRange& part)
{
    CFileHandle source(CreateFileW(part.partFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source || SetFilePointer(target, static_cast<LONG>(part.start), nullptr, FILE_BEGIN) ==
                       INVALID_SET_FILE_POINTER)
        return false;
    std::vector<char> block(kCopyBlock);
    uint32_t left = part.Length();
    while (left > 0) {
        const DWORD want = left < kCopyBlock ? left : kCopyBlock;
        DWORD got = 0;
        DWORD written = 0;
        if (!ReadFile(source, block.data(), want, &got, nullptr) || got == 0 ||
            !WriteFile(target, block.data(), got, &written, nullptr) || written != got)
            return false;
        left -= got;
    }
    return true;
}

bool PartFilesCoverTheirRanges(const std::vector<PartRange>& parts)
{
    for (const PartRange& part : parts) {
        if (part.Length() > 0 && ExistingFileSize(part.partFile) < part.Length())
            return false;
    }
    return true;
}

CFileHandle OpenForWriting(const CString& path, DWORD disposition)
{
    return CFileHandle(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The first part file becomes the start of the target, so that only the
// other parts are copied. False when that cannot be done; nothing changed then.
bool TakeFirstPartAsTarget(const CString& target, const PartRange& first)
{
    return first.Length() > 0 && MoveFileExW(first.partFile, target, MOVEFILE_REPLACE_EXISTING);
}

// Undoes TakeFirstPartAsTarget after a failed merge. When the file cannot go
// back, it is deleted rather than left as a target that is not the file.
void GiveFirstPartBack(const CString& target, const PartRange& first)
{
    {
        CFileHandle file = OpenForWriting(target, OPEN_EXISTING);
        if (!file || !SetFileSize(file, first.Length())) {
            file.Reset();
            DeleteFileW(target);
            return;
        }
    }
    if (!MoveFileExW(target, first.partFile, 0))
        DeleteFileW(target);
}

} // namespace

CString PartFilePath(const CString& target, int index)
{
    CString path;
    path.Format(L"%s_%d", target.GetString(), index);
    return path;
}

long long ExistingFileSize(const CString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<PartRange> SplitIntoParts(const CString& target, uint32_t length, int count)
{
    std::vector<PartRange> parts(static_cast<size_t>(count));
    const uint32_t size = length / static_cast<uint32_t>(count);
    for (int i = 0; i < count; ++i) {
        PartRange& part = parts[static_cast<size_t>(i)];
        part.start = static_cast<uint32_t>(i) * size;
        part.end = i + 1 < count ? part.start + size : length;
        part.partFile = PartFilePath(target, i);
    }
    return parts;
}

bool DeletePartFiles(const CString& target, int count)
{
    bool gone = true;
    for (int i = 0; i < count; ++i) {
        const CString path = PartFilePath(target, i);
        if (!DeleteFileW(path) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
            gone = false;
    }
    return gone;
}

bool MergeParts(const CString& target, const std::vector<PartRange>& parts)
{
    if (parts.empty() || !PartFilesCoverTheirRanges(parts))
        return false;
    const bool tookFirst = TakeFirstPartAsTarget(target, parts.front());
    CFileHandle file = OpenForWriting(target, tookFirst ? OPEN_EXISTING : CREATE_ALWAYS);
    if (!file) {
        if (tookFirst)
            GiveFirstPartBack(target, parts.front());
        return false;
    }
    bool written = !tookFirst || SetFileSize(file, parts.front().Length()); // bytes past its range go
    for (size_t i = tookFirst ? 1 : 0; written && i < parts.size(); ++i) {
        if (parts[i].Length() > 0)
            written = CopyPartFile(file, parts[i]);
    }
    if (!CloseHandle(file.Detach()))
        written = false;
    if (!written) {
        if (tookFirst)
            GiveFirstPartBack(target, parts.front());
        else
            DeleteFileW(target);
        return false;
    }
    for (size_t i = tookFirst ? 1 : 0; i < parts.size(); ++i)
        DeleteFileW(parts[i].partFile);
    return true;
}
