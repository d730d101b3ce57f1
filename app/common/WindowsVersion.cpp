#include "app/common/WindowsVersion.h"

int g_nOsMajorVersion = 0;
int g_nOsMinorVersion = 0;

CString NameWindowsVersion(const WindowsVersionFacts& facts)
{
    const bool workstation = facts.productType == VER_NT_WORKSTATION;
    switch (facts.major) {
    case 4:
        if (facts.minor == 0) {
            if (facts.platformId == VER_PLATFORM_WIN32_NT)
                return L"Windows NT 4.0";
            if (facts.platformId == VER_PLATFORM_WIN32_WINDOWS)
                return L"Windows 95";
        }
        if (facts.minor == 10)
            return L"Windows 98";
        if (facts.minor == 90)
            return L"Windows Me";
        return L"";
    case 5:
        if (facts.minor == 0)
            return L"Windows 2000";
        if (facts.minor == 1)
            return L"Windows XP";
        if (facts.minor == 2) {
            if (workstation && facts.processorArchitecture == PROCESSOR_ARCHITECTURE_AMD64)
                return L"Windows XP Professional x64 Edition";
            return facts.serverR2 ? L"Windows Server 2003 R2" : L"Windows Server 2003";
        }
        return L"";
    case 6:
        if (facts.minor == 0)
            return workstation ? L"Windows Vista" : L"Windows Server 2008";
        if (facts.minor == 1)
            return workstation ? L"Windows 7" : L"Windows Server 2008 R2";
        if (facts.minor == 2)
            return workstation ? L"Windows 8" : L"Windows Server 2012";
        return L"";
    default:
        return L"未知操作系统";
    }
}

CString& WindowsVersionName(CString& out)
{
    // The native view: a 32-bit program on 64-bit Windows must still see the
    // 64-bit processor.
    SYSTEM_INFO system = {};
    GetNativeSystemInfo(&system);
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) {
        out.Empty();
        return out;
    }
    g_nOsMajorVersion = static_cast<int>(version.dwMajorVersion);
    g_nOsMinorVersion = static_cast<int>(version.dwMinorVersion);
    out = NameWindowsVersion({version.dwMajorVersion, version.dwMinorVersion, version.dwPlatformId,
                              version.wProductType, system.wProcessorArchitecture,
                              GetSystemMetrics(SM_SERVERR2) != 0});
    return out;
}
