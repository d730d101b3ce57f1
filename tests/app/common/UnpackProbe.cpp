// Runs UnpackArchive in a process of its own, so that a test can answer its
// message boxes from outside and can put a stand-in extractor beside it. The
// arguments come from RAVONYX_UNPACK_ARCHIVE, RAVONYX_UNPACK_FOLDER and
// RAVONYX_UNPACK_PASSWORD (the folder ends in a backslash, which argument
// splitting would misread). Exit code 10: true, 20: false.
#include "app/common/UnpackArchive.h"

namespace {

CString Environment(const wchar_t* name)
{
    wchar_t value[1024] = {};
    GetEnvironmentVariableW(name, value, 1024);
    return value;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const bool unpacked =
        UnpackArchive(Environment(L"RAVONYX_UNPACK_ARCHIVE"), Environment(L"RAVONYX_UNPACK_FOLDER"),
                      Environment(L"RAVONYX_UNPACK_PASSWORD"));
    return unpacked ? 10 : 20;
}
