#include "app/startup/Elevation.h"

#include <shellapi.h>

#include <vector>

#include "base/Handle.h"

bool NeedsElevationFor(DWORD majorVersion, bool labelRead, DWORD integrityRid)
{
    return majorVersion >= 6 && labelRead && integrityRid < SECURITY_MANDATORY_HIGH_RID;
}

namespace {

// The token's integrity RID; false when the label could not be read.
bool ReadIntegrityRid(DWORD& rid)
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &raw))
        return false;
    CHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size))
        return false;
    const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
    PSID sid = label->Label.Sid;
    if (!sid || !IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0)
        return false;
    rid = *GetSidSubAuthority(sid, 0);
    return true;
}

} // namespace

bool NeedsElevation()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info))
        return false;
#pragma GCC diagnostic pop
    if (info.dwMajorVersion < 6)
        return false;
    DWORD rid = 0;
    const bool read = ReadIntegrityRid(rid);
    return NeedsElevationFor(info.dwMajorVersion, read, rid);
}

bool RelaunchElevated(const CString& path, const CString& parameters)
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = nullptr;
    info.lpVerb = L"runas";
    info.lpFile = path;
    info.lpParameters = parameters;
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info))
        return false;
    if (info.hProcess)
        CloseHandle(info.hProcess);
    return true;
}
