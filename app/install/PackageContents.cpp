#include "app/install/PackageContents.h"

#include "base/Handle.h"

#include <unzip.h>
// after unzip.h, which it builds on
#include <iowin32.h>

#include <string>
#include <vector>

namespace {

using CZipFile = CUniqueHandle<NullHandleTraits<unzFile, &unzClose>>;

bool IsSeparator(char ch)
{
    return ch == '/' || ch == '\\';
}

} // namespace

bool EntryIsInsideFolder(const char* name, size_t length, const CString& id)
{
    // The id is decimal text: its bytes are the same in every code page.
    const std::string folder = id.ToUtf8();
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < length && !IsSeparator(name[end]))
            ++end;
        const std::string part(name + start, end - start);
        if (end == length && part.empty())
            return false; // nothing but separators and "."
        if (!part.empty() && part != ".") {
            // The folder itself only as a folder entry; a file of that name
            // would stand where the package folder goes.
            return !folder.empty() && part == folder && end < length;
        }
        start = end + 1;
        if (start > length)
            return false;
    }
}

bool PackageStaysInItsFolder(const CString& package, const CString& id)
{
    zlib_filefunc64_def io = {};
    fill_win32_filefunc64W(&io);
    CZipFile zip(unzOpen2_64(package.GetString(), &io));
    if (!zip)
        return true;
    std::vector<char> name;
    for (int err = unzGoToFirstFile(zip); err == UNZ_OK; err = unzGoToNextFile(zip)) {
        unz_file_info64 info = {};
        if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return true;
        name.assign(info.size_filename + 1, '\0');
        if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0,
                                    nullptr, 0) != UNZ_OK)
            return true;
        if (!EntryIsInsideFolder(name.data(), info.size_filename, id))
            return false;
    }
    return true;
}
