// Reports what the elevation test sees in this process: the Windows major
// version, the token's integrity RID and the decision, as one line
// "major rid needs" in probe.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/startup/Elevation.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&version);
#pragma GCC diagnostic pop
    DWORD rid = 0;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        DWORD size = 0;
        GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
        std::vector<BYTE> buffer(size ? size : 1);
        if (size && GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
            PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
            rid = *GetSidSubAuthority(sid, 0);
        }
        CloseHandle(token);
    }
    char line[64];
    std::snprintf(line, sizeof(line), "%lu %lx %d", static_cast<unsigned long>(version.dwMajorVersion),
                  static_cast<unsigned long>(rid), NeedsElevation() ? 1 : 0);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wcscpy(wcsrchr(path, L'\\') + 1, L"probe.txt");
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(out, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    CloseHandle(out);
    return 0;
}
