#include "app/common/ScreenGeometry.h"
#include "app/common/WindowsVersion.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(PopupCornerRect, BottomRightCornerAboveTheTaskBar)
{
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    const int margin = (cy - GetSystemMetrics(SM_CYFULLSCREEN)) / 2;
    const int gap = LOBYTE(LOWORD(GetVersion())) <= 5 ? 2 : 9;

    const RECT layout = {10, 20, 10 + 280, 20 + 180};
    RECT out = {};
    RECT& result = PopupCornerRect(out, layout);
    EXPECT_EQ(&out, &result);
    EXPECT_EQ(cx - 1, out.right);
    EXPECT_EQ(cx - 1 - 280, out.left);
    EXPECT_EQ(cy - margin - gap, out.bottom);
    EXPECT_EQ(cy - margin - gap - 180, out.top);
    // Under Wine this is Windows 7 on a 1280x1024 screen.
    EXPECT_EQ(9, gap);
}

TEST(ScreenResolutionText, WidthAndHeightThroughTheFormat)
{
    CString text;
    CString expected;
    expected.Format(L"%dX%d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(Wide(expected), Wide(ScreenResolutionText(text, L"%dX%d")));
    EXPECT_EQ(Wide(expected), Wide(text));
}

TEST(WindowsVersionName, NamesTheRunningSystemAndStoresItsNumbers)
{
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version)));
    g_nOsMajorVersion = g_nOsMinorVersion = -1;
    CString name = L"stale";
    EXPECT_EQ(&name, &WindowsVersionName(name));
    EXPECT_EQ(static_cast<int>(version.dwMajorVersion), g_nOsMajorVersion);
    EXPECT_EQ(static_cast<int>(version.dwMinorVersion), g_nOsMinorVersion);
    if (version.dwMajorVersion == 6 && version.dwMinorVersion == 1 &&
        version.wProductType == VER_NT_WORKSTATION) {
        EXPECT_EQ(L"Windows 7", Wide(name));
    }
    EXPECT_FALSE(name.IsEmpty());
}

TEST(WindowsVersionName, TableOfNames)
{
    const WORD x86 = PROCESSOR_ARCHITECTURE_INTEL;
    const WORD amd64 = PROCESSOR_ARCHITECTURE_AMD64;
    const BYTE ws = VER_NT_WORKSTATION;
    const BYTE server = VER_NT_SERVER;
    const struct {
        WindowsVersionFacts facts;
        const wchar_t* name;
    } rows[] = {
        {{4, 0, VER_PLATFORM_WIN32_NT, ws, x86, false}, L"Windows NT 4.0"},
        {{4, 0, VER_PLATFORM_WIN32_WINDOWS, 0, x86, false}, L"Windows 95"},
        {{4, 10, VER_PLATFORM_WIN32_WINDOWS, 0, x86, false}, L"Windows 98"},
        {{4, 90, VER_PLATFORM_WIN32_WINDOWS, 0, x86, false}, L"Windows Me"},
        {{5, 0, VER_PLATFORM_WIN32_NT, ws, x86, false}, L"Windows 2000"},
        {{5, 1, VER_PLATFORM_WIN32_NT, ws, x86, false}, L"Windows XP"},
        {{5, 2, VER_PLATFORM_WIN32_NT, ws, amd64, false}, L"Windows XP Professional x64 Edition"},
        {{5, 2, VER_PLATFORM_WIN32_NT, server, amd64, false}, L"Windows Server 2003"},
        {{5, 2, VER_PLATFORM_WIN32_NT, ws, x86, true}, L"Windows Server 2003 R2"},
        {{6, 0, VER_PLATFORM_WIN32_NT, ws, x86, false}, L"Windows Vista"},
        {{6, 0, VER_PLATFORM_WIN32_NT, server, x86, false}, L"Windows Server 2008"},
        {{6, 1, VER_PLATFORM_WIN32_NT, ws, amd64, false}, L"Windows 7"},
        {{6, 1, VER_PLATFORM_WIN32_NT, server, amd64, false}, L"Windows Server 2008 R2"},
        {{6, 2, VER_PLATFORM_WIN32_NT, ws, x86, false}, L"Windows 8"},
        {{6, 2, VER_PLATFORM_WIN32_NT, VER_NT_DOMAIN_CONTROLLER, x86, false}, L"Windows Server 2012"},
        {{6, 3, VER_PLATFORM_WIN32_NT, ws, x86, false}, L""},
        {{5, 3, VER_PLATFORM_WIN32_NT, ws, x86, false}, L""},
        {{4, 1, VER_PLATFORM_WIN32_WINDOWS, 0, x86, false}, L""},
        {{10, 0, VER_PLATFORM_WIN32_NT, ws, amd64, false}, L"未知操作系统"},
        {{3, 51, VER_PLATFORM_WIN32_NT, ws, x86, false}, L"未知操作系统"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.facts.major << "." << row.facts.minor);
        EXPECT_EQ(std::wstring(row.name), Wide(NameWindowsVersion(row.facts)));
    }
}

} // namespace
