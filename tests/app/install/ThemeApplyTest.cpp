#include "InstallTestSupport.h"

#include "app/common/FileUtils.h"
#include "app/install/DefaultTheme.h"
#include "app/install/PlacedThemes.h"
#include "app/install/ThemeApply.h"
#include "app/install/VisualStyle.h"
#include "app/install/WindowsFolders.h"

#include <functional>

namespace {

const wchar_t kHint[] = L"提示";

CString SystemFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return path;
}

// The current visual style that the theme code is told about.
CString g_currentTheme;
bool g_currentThemeReadable = true;
bool ReportedTheme(CString& file)
{
    file = g_currentTheme;
    return g_currentThemeReadable;
}

HWND FindStandInWindow(const wchar_t* cls, const wchar_t* title)
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, cls, title)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId())
            return window;
    }
    return nullptr;
}

// Clicked off screen. Whether it was still hidden then is not certain: a
// dialog's own modal loop shows it when it finds it hidden at its first idle
// moment, as Windows does.
void ExpectClickedOffScreen(const std::string& line)
{
    EXPECT_EQ(0u, line.rfind("BM_CLICK ", 0)) << line;
    EXPECT_EQ(" -100 -100", line.substr(line.size() - 10)) << line;
}

class ThemeApply : public InstallFixture {
protected:
    // A theme this program installed: its file and visual-style folder.
    std::wstring InstallTheme(const std::wstring& stem)
    {
        const std::wstring name = UniqueName(stem);
        EXPECT_TRUE(RecordPlacedTheme(name.c_str()));
        WriteFileBytes(themes + L"\\" + name.c_str() + L".theme", "[Theme]");
        MakeFolderFor(themes + L"\\" + name.c_str() + L"\\" + name.c_str() + L".msstyles");
        WriteFileBytes(themes + L"\\" + name.c_str() + L"\\" + name.c_str() + L".msstyles", "MZ");
        return name;
    }
    bool Installed(const std::wstring& name)
    {
        return FileExists(themes + L"\\" + name.c_str() + L".theme") ||
               DirectoryExists(themes + L"\\" + name.c_str());
    }
    std::string Command(const CString& tail)
    {
        const CString system = SystemFolder();
        return (L"command rundll32.exe " + system + L"\\shell32.dll,Control_RunDLL " + system + tail)
            .ToUtf8();
    }
    std::string OpenCommand(const CString& themeFile)
    {
        return Command(L"\\desk.cpl desk,@Themes /Action:OpenTheme /file:\"" + themeFile + L"\"");
    }
};

TEST_F(ThemeApply, ControlPanelCommandLinePerWindowsVersion)
{
    const CString themeFile = themes + L"\\主题.theme";
    const struct {
        int major;
        int minor;
        bool pageOnly;
    } rows[] = {{5, 1, false}, {5, 2, false}, {6, 0, false}, {6, 1, false},
                {6, 2, true},  {6, 3, true},  {10, 0, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.major) + "." + std::to_string(row.minor));
        PinWindowsVersion(row.major, row.minor);
        // Nothing shows up: searched for a while, then given up.
        EXPECT_FALSE(OpenThemeFile(themeFile + L"\""));
        ASSERT_TRUE(WaitForControlPanel(false));
        const std::vector<std::string> lines = ControlPanelLog();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(row.pageOnly ? Command(L"\\desk.cpl desk,@Themes") : OpenCommand(themeFile), lines[0]);
        DeleteFileW(logs / L"control-panel.txt");
    }
    EXPECT_EQ(Events(), CEventLog::Instance().Take());
}

TEST_F(ThemeApply, ControlPanelWindowIsHandledPerWindowsVersion)
{
    const struct {
        const char* what;
        int major;
        int minor;
        const wchar_t* shows;
        bool result;
        std::function<void(const std::vector<std::string>&)> check;
    } rows[] = {
        {"XP: clicked while hidden off screen", 5, 1, L"dialog", true,
         [](const std::vector<std::string>& log) {
             ASSERT_EQ(3u, log.size());
             ExpectClickedOffScreen(log[1]);
         }},
        {"English XP", 5, 2, L"dialog-en", true,
         [](const std::vector<std::string>& log) {
             ASSERT_EQ(3u, log.size());
             ExpectClickedOffScreen(log[1]);
         }},
        {"XP without OK: shown again", 5, 1, L"dialog-bare", false,
         [](const std::vector<std::string>& log) {
             EXPECT_EQ(1u, log.size());
             HWND dialog = FindStandInWindow(L"#32770", L"显示 属性");
             ASSERT_NE(nullptr, dialog);
             RECT rect = {};
             GetWindowRect(dialog, &rect);
             EXPECT_TRUE(IsWindowVisible(dialog));
             EXPECT_GT(rect.left, -100);
             EXPECT_GT(rect.right - rect.left, 100);
         }},
        {"7: closed after a second", 6, 1, L"cabinet", true,
         [](const std::vector<std::string>& log) {
             ASSERT_EQ(3u, log.size());
             ASSERT_EQ(0u, log[1].rfind("WM_CLOSE ", 0));
             const int after = std::stoi(log[1].substr(9));
             EXPECT_GE(after, 1000);
             EXPECT_LT(after, 10000);
         }},
        {"English 7: not found, left open", 6, 1, L"cabinet-en", false,
         [](const std::vector<std::string>& log) {
             EXPECT_EQ(1u, log.size());
             EXPECT_NE(nullptr, FindStandInWindow(L"CabinetWClass", L"Personalization"));
         }},
        {"8: left open", 6, 2, L"cabinet", true,
         [](const std::vector<std::string>& log) {
             EXPECT_EQ(1u, log.size());
             EXPECT_NE(nullptr, FindStandInWindow(L"CabinetWClass", L"个性化"));
         }},
        {"XP: nothing", 5, 1, L"none", false, [](const std::vector<std::string>&) {}},
        {"7: nothing", 6, 1, L"none", false, [](const std::vector<std::string>&) {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        PinWindowsVersion(row.major, row.minor);
        ShowFromControlPanel(row.shows);
        EXPECT_EQ(row.result, OpenThemeFile(themes + L"\\主题.theme\""));
        if (row.result && !(row.major == 6 && row.minor > 1)) {
            ASSERT_TRUE(WaitForControlPanel(false));
        }
        row.check(ControlPanelLog());
        ASSERT_TRUE(WaitForControlPanel(true));
        DeleteFileW(logs / L"control-panel.txt");
    }
    EXPECT_EQ(Events(), CEventLog::Instance().Take());
}

TEST_F(ThemeApply, ControlPanelThatCannotStartIsReported)
{
    // What the program runs first as rundll32.exe is a folder.
    ASSERT_TRUE(DeleteFileW(program / L"rundll32.exe"));
    ASSERT_TRUE(CreateDirectoryW(program / L"rundll32.exe", nullptr));
    EXPECT_FALSE(OpenThemeFile(themes + L"\\主题.theme\""));
    EXPECT_EQ(Events({BoxEvent(kHint, L"应用主题出现异常！")}), CEventLog::Instance().Take());
    EXPECT_TRUE(ControlPanelLog().empty());
}

TEST_F(ThemeApply, RemovalOfAThemeInUseAndNotInUse)
{
    const struct {
        const char* what;
        int major;
        int minor;
        const wchar_t* current; // relative to the theme folder, or a full path
        const wchar_t* shows;
        const wchar_t* fallback; // the default theme opened first, or none
        bool removed;
    } rows[] = {
        {"in use, XP", 5, 1, L"@\\@.msstyles", L"dialog", L"Luna.theme", true},
        {"in use, 7", 6, 1, L"@\\@.msstyles", L"cabinet", L"aero.theme", true},
        {"in use, 7, default not applied", 6, 1, L"@\\@.msstyles", L"none", L"aero.theme", false},
        {"in use, 8: the default is only offered", 6, 2, L"@\\@.msstyles", L"cabinet", L"", false},
        {"not in use, 7", 6, 1, L"Aero\\Aero.msstyles", L"cabinet", nullptr, true},
        {"not in use, XP", 5, 1, L"Luna\\Luna.msstyles", L"dialog", nullptr, true},
        {"other case is another theme", 6, 1, L"@\\@.MSSTYLES", L"cabinet", nullptr, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        PinWindowsVersion(row.major, row.minor);
        ShowFromControlPanel(row.shows);
        const std::wstring name = InstallTheme(L"移除");
        CString current = row.current;
        current.Replace(L"@", name.c_str());
        g_currentTheme = themes + L"\\" + current;
        g_currentThemeReadable = true;

        // Told whether anything of it is left.
        EXPECT_EQ(row.removed, RemoveThemePackage(name.c_str(), ReportedTheme));
        EXPECT_EQ(!row.removed, Installed(name));
        ASSERT_TRUE(WaitForControlPanel(true));
        const std::vector<std::string> log = ControlPanelLog();
        if (!row.fallback) {
            EXPECT_TRUE(log.empty());
        } else if (!*row.fallback) {
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(Command(L"\\desk.cpl desk,@Themes"), log[0]);
        } else {
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(OpenCommand(themes + L"\\" + row.fallback), log[0]);
        }
        DeleteFileW(logs / L"control-panel.txt");
    }
    EXPECT_EQ(Events(), CEventLog::Instance().Take());
}

TEST_F(ThemeApply, RemovalRemovesNothingWhenTheCurrentThemeIsUnknownOrTheNameIsNoFileName)
{
    const std::wstring name = InstallTheme(L"留下");
    g_currentThemeReadable = false;
    EXPECT_FALSE(RemoveThemePackage(name.c_str(), ReportedTheme));
    EXPECT_TRUE(Installed(name));

    // A file of the theme folder that must outlive every removal below.
    const CString canary = themes + L"\\" + UniqueName(L"canary").c_str() + L".theme";
    WriteFileBytes(canary, "stays");
    g_currentThemeReadable = true;
    g_currentTheme = L"C:\\nowhere\\x.msstyles";
    for (const wchar_t* hostile : {L"", L".", L"..", L"..\\Themes", L"*", L"?", L"<", L">", L"|", L"\"",
                                   L"a/b", L"C:", L"Themes.", L"Themes "}) {
        SCOPED_TRACE(Utf8(hostile));
        RemoveThemePackage(hostile, ReportedTheme);
        EXPECT_EQ("stays", ReadFileBytes(canary));
    }
    EXPECT_TRUE(Installed(name));
    EXPECT_TRUE(ControlPanelLog().empty());
}

TEST_F(ThemeApply, RemovalAsksWineForTheCurrentTheme)
{
    // Wine's own visual style is in use, not this one: deleted at once.
    const std::wstring name = InstallTheme(L"酒");
    EXPECT_TRUE(RemoveThemePackage(name.c_str()));
    EXPECT_FALSE(Installed(name));
    EXPECT_TRUE(ControlPanelLog().empty());
}

TEST_F(ThemeApply, RestoreOfTheDefaultThemePerWindowsVersion)
{
    const struct {
        const char* what;
        int major;
        int minor;
        bool readable;
        const wchar_t* current;
        const wchar_t* shows;
        const wchar_t* opened; // the theme file opened, "" the theme page, nullptr nothing
        Events events;
    } rows[] = {
        {"XP, Luna in use", 5, 1, true, L"Luna\\Luna.msstyles", L"dialog", nullptr, {}},
        {"XP, another theme", 5, 1, true, L"蓝色\\蓝色.msstyles", L"dialog", L"Luna.theme", {}},
        {"XP, Luna not applied",
         5,
         1,
         true,
         L"蓝色\\蓝色.msstyles",
         L"none",
         L"Luna.theme",
         {BoxEvent(L"提示", L"默认主题异常，请手工恢复主题！")}},
        {"XP, current theme unknown",
         5,
         1,
         false,
         L"",
         L"dialog",
         nullptr,
         {BoxEvent(L"提示", L"无法获取当前主题，请检查用户权限或者手工恢复主题！")}},
        {"7", 6, 1, true, L"Aero\\Aero.msstyles", L"cabinet", L"Aero.theme", {}},
        {"7, not applied: nothing said", 6, 0, false, L"", L"none", L"Aero.theme", {}},
        {"8", 6, 2, true, L"x", L"cabinet", L"", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        PinWindowsVersion(row.major, row.minor);
        ShowFromControlPanel(row.shows);
        g_currentTheme = themes + L"\\" + row.current;
        g_currentThemeReadable = row.readable;
        RestoreDefaultTheme(ReportedTheme);
        ASSERT_TRUE(WaitForControlPanel(true));
        const std::vector<std::string> log = ControlPanelLog();
        if (!row.opened) {
            EXPECT_TRUE(log.empty());
        } else {
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(*row.opened ? OpenCommand(themes + L"\\" + row.opened)
                                  : Command(L"\\desk.cpl desk,@Themes"),
                      log[0]);
        }
        EXPECT_EQ(row.events, CEventLog::Instance().Take());
        DeleteFileW(logs / L"control-panel.txt");
    }
}

TEST_F(ThemeApply, EmptyPackageFolderOrMissingThemeFolderAppliesNothing)
{
    const std::wstring name = UniqueName(L"空");
    EXPECT_EQ(ThemeApplyResult::NotPlaced, ApplyThemePackage(L"", name.c_str()));
    const CString folder = downloads / L"pkg";
    MakeFolderFor(folder + L"\\" + name.c_str() + L"\\" + name.c_str() + L".msstyles");
    WriteFileBytes(folder + L"\\" + name.c_str() + L"\\" + name.c_str() + L".msstyles", "MZ");
    EXPECT_EQ(ThemeApplyResult::NotPlaced, ApplyThemePackage(folder, L".."));
    EXPECT_FALSE(DirectoryExists(themes + L"\\" + name.c_str()));
    EXPECT_TRUE(ControlPanelLog().empty());
    EXPECT_TRUE(DesktopLog().empty());
}

TEST(VisualStyle, OrdinalSixtyFiveIsCalledOnlyWhenUnnamed)
{
    const CString file = L"C:\\windows\\Resources\\Themes\\蓝色\\蓝色.msstyles";
    // Wine's uxtheme: a named function sits at ordinal 65.
    HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
    ASSERT_NE(nullptr, uxtheme);
    EXPECT_NE(nullptr, GetProcAddress(uxtheme, MAKEINTRESOURCEA(65)));
    EXPECT_FALSE(IsUnnamedExport(uxtheme, 65));
    FreeLibrary(uxtheme);
    EXPECT_FALSE(SetVisualStyle(file));

    // Ours, exported by ordinal alone as on Windows.
    const CString standIn = BuildBinFolder() + L"visual_style_standin.dll";
    HMODULE library = LoadLibraryW(standIn);
    ASSERT_NE(nullptr, library);
    EXPECT_TRUE(IsUnnamedExport(library, 65));
    EXPECT_FALSE(IsUnnamedExport(library, 66));
    EXPECT_FALSE(IsUnnamedExport(library, 67));
    using LastCallFn = const wchar_t*(WINAPI*)();
    const auto lastCall =
        reinterpret_cast<LastCallFn>(reinterpret_cast<void*>(GetProcAddress(library, "LastVisualStyleCall")));
    ASSERT_NE(nullptr, lastCall);
    EXPECT_TRUE(SetVisualStyleThrough(standIn, file));
    EXPECT_EQ(Utf8(std::wstring(file.GetString()) + L"|NormalColor|NormalSize|33"), Utf8(lastCall()));
    FreeLibrary(library);

    // Without the ordinal, or without the library.
    EXPECT_FALSE(SetVisualStyleThrough(BuildBinFolder() + L"active_desktop_standin.dll", file));
    EXPECT_FALSE(SetVisualStyleThrough(BuildBinFolder() + L"absent.dll", file));
}

} // namespace
