#include "app/common/FileUtils.h"

#include "base/Handle.h"

#include <shellapi.h>

#include <vector>

namespace {

// SHFileOperationW takes lists of paths, each ended by a NUL and the list by
// one more.
std::vector<wchar_t> PathList(const CString& path)
{
    std::vector<wchar_t> list(path.GetString(), path.GetString() + path.GetLength());
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

} // namespace

bool DeletePath(const CString& path)
{
    CString target = path;
    if (!target.IsEmpty() && target[target.GetLength() - 1] == L'\\')
        target = target.Left(target.GetLength() - 1);
    if (target.IsEmpty())
        return false;
    std::vector<wchar_t> from = PathList(target);
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    static_assert((FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI) == 0x414, "silent delete flags");
    return SHFileOperationW(&operation) == 0;
}

bool MoveFolder(const CString& to, const CString& from)
{
    // Moving nothing is a failure (Windows says so itself; Wine reports
    // success for a missing source).
    if (GetFileAttributesW(from) == INVALID_FILE_ATTRIBUTES)
        return false;
    std::vector<wchar_t> source = PathList(from);
    std::vector<wchar_t> target = PathList(to);
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_MOVE;
    operation.pFrom = source.data();
    operation.pTo = target.data();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
    static_assert((FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR) == 0x210, "quiet move flags");
    return SHFileOperationW(&operation) == 0;
}

bool DirectoryExists(const CString& path)
{
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(path, &found));
    return find && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

CString ParentDirectory(const CString& path)
{
    const int slash = path.ReverseFind(L'\\');
    return slash > 0 ? path.Left(slash + 1) : CString();
}
