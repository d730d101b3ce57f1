#include "download/PartFile.h"

#include <windows.h>

namespace {

constexpr size_t kCopyBlock = 64 * 1024;

// Copies the part's range from its part file to the end of the target.
bool AppendPartFile(FILE* target, const PartRange& part)
{
    CFilePtr source(_wfopen(part.partFile, L"rb"));
    if (!source)
        return false;
    std::vector<char> block(kCopyBlock);
    uint32_t left = part.Length();
    while (left > 0) {
        const size_t want = left < kCopyBlock ? left : kCopyBlock;
        const size_t got = fread(block.data(), 1, want, source.get());
        if (got == 0 || fwrite(block.data(), 1, got, target) != got)
            return false;
        left -= static_cast<uint32_t>(got);
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

bool MergeParts(const CString& target, const std::vector<PartRange>& parts)
{
    if (!PartFilesCoverTheirRanges(parts))
        return false;
    CFilePtr file(_wfopen(target, L"wb"));
    if (!file)
        return false;
    bool written = true;
    for (const PartRange& part : parts) {
        if (part.Length() > 0 && !AppendPartFile(file.get(), part)) {
            written = false;
            break;
        }
    }
    if (fclose(file.release()) != 0)
        written = false;
    if (!written) {
        DeleteFileW(target);
        return false;
    }
    for (const PartRange& part : parts)
        DeleteFileW(part.partFile);
    return true;
}
