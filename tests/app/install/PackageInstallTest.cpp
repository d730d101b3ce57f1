#include "InstallTestSupport.h"

#include "app/common/FileUtils.h"
#include "app/install/PackageInstall.h"

namespace {

const wchar_t kDamaged[] = L"由于下载数据损坏，软件无法安装，请重新下载软件！";
const wchar_t kComponentMissing[] = L"由于必备组件丢失，软件无法安装。请重新安装泽诺美化箱！";

class PackageInstall : public InstallFixture {
protected:
    CString Downloads(const std::wstring& rest) { return downloads / rest.c_str(); }
    CString Themes(const std::wstring& rest) { return themes + L"\\" + rest.c_str(); }
};

TEST_F(PackageInstall, ExtractorCommandLineCarriesTargetAndPasswordByKind)
{
    UseExtractor(L"stub");
    const CString commandLog = logs / L"extractor.txt";
    SetEnvironmentVariableW(L"RAVONYX_STUB_COMMAND_LOG", commandLog);
    SetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", L"0");
    WriteList(1, {{7001, L"蓝色天空"}});
    WriteList(2, {{7002, L"海边"}});
    WritePackage(7001, {{"7001/x", "y"}}, "");
    WritePackage(7002, {{"7002/x", "y"}}, "");

    const struct {
        int kind;
        int id;
        const wchar_t* folder;
        bool installed;
        Events events; // the stub unpacks nothing
    } rows[] = {
        // The theme has no package folder then: nothing to install.
        {1, 7001, L"theme", false, {BoxEvent(kError, kUnpackFailed), DeleteEvent(7001, 2, 1)}},
        {2, 7002, L"desktop", true, {BoxEvent(kError, kWallpaperFailed), DeleteEvent(7002, 2, 2)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind);
        const std::wstring id = std::to_wstring(row.id);
        EXPECT_EQ(row.installed, InstallPackage(row.kind, id.c_str()));
        const CString expected = L"Extract.dll x \"" + Downloads(L"Ravonyx\\download\\" + id + L".zip") +
                                 L"\" -o\"" + Downloads(L"Ravonyx\\" + std::wstring(row.folder) + L"\\") +
                                 L"\" *.* -r -y -p" + CString(id.c_str()) + L"_mirt_saboe";
        EXPECT_EQ(expected.ToUtf8(), ReadFileBytes(commandLog));
        EXPECT_EQ(row.events, CEventLog::Instance().Take());
    }
    EXPECT_EQ(Events({"SetWallpaper " + Downloads(L"Ravonyx\\desktop\\7002\\海边.jpg").ToUtf8() + " 0"}),
              DesktopLog());
}

TEST_F(PackageInstall, ThemeGoesIntoTheWindowsFoldersAndIsOpened)
{
    const std::wstring name = UniqueName(L"蓝色天空");
    WriteList(1, {{7001, name}});
    WritePackage(7001, ThemeEntries(7001, name), PackagePasswordOf(7001));
    ShowFromControlPanel(L"cabinet");

    EXPECT_TRUE(InstallPackage(1, L"7001"));
    EXPECT_TRUE(WaitForControlPanel(false));

    const std::string n = Utf8(name);
    EXPECT_EQ("[Theme]\r\nDisplayName=" + n + "\r\n", ReadFileBytes(Themes(name + L".theme")));
    EXPECT_EQ("MZ visual style of " + n, ReadFileBytes(Themes(name + L"\\" + name + L".msstyles")));
    EXPECT_EQ("JPEG wallpaper of " + n, ReadFileBytes(Themes(name + L"\\WALLPAPER\\" + name + L".jpg")));
    EXPECT_EQ("cursor of " + n, ReadFileBytes(windows + L"\\Cursors\\Cursors\\" + name.c_str() + L".cur"));

    // Moved, not copied.
    EXPECT_FALSE(DirectoryExists(Downloads(L"Ravonyx\\theme\\7001\\" + name)));
    EXPECT_FALSE(FileExists(Downloads(L"Ravonyx\\theme\\7001\\" + name + L".theme")));

    const std::vector<std::string> panel = ControlPanelLog();
    ASSERT_EQ(3u, panel.size());
    EXPECT_NE(std::string::npos, panel[0].find("/file:\"" + Themes(name + L".theme").ToUtf8() + "\""));
    EXPECT_EQ(0u, panel[1].rfind("WM_CLOSE ", 0));
    EXPECT_EQ(Events(), CEventLog::Instance().Take());
}

TEST_F(PackageInstall, ThemeWithoutThemeFileGetsItsStyleAndWallpaper)
{
    const std::wstring name = UniqueName(L"无主题文件");
    WriteList(1, {{7003, name}});
    WritePackage(7003, ThemeEntries(7003, name, false, true, false), PackagePasswordOf(7003));

    EXPECT_TRUE(InstallPackage(1, L"7003"));
    EXPECT_TRUE(FileExists(Themes(name + L"\\" + name + L".msstyles")));
    EXPECT_FALSE(FileExists(Themes(name + L".theme")));
    // Wine's uxtheme has no unnamed visual-style entry, so only the
    // wallpaper can be seen here.
    const CString wallpaper = Themes(name + L"\\WALLPAPER\\" + name + L".jpg");
    EXPECT_EQ(Events({"SetWallpaper " + wallpaper.ToUtf8() + " 0", "ApplyChanges 7"}), DesktopLog());
    EXPECT_TRUE(ControlPanelLog().empty());
    EXPECT_EQ(Events(), CEventLog::Instance().Take());
}

TEST_F(PackageInstall, PackageWithoutItsIdFolderIsRefused)
{
    const std::wstring name = UniqueName(L"无编号");
    WriteList(1, {{7004, name}});
    WritePackage(7004, ThemeEntries(7004, name, true, false, true), PackagePasswordOf(7004));

    EXPECT_FALSE(InstallPackage(1, L"7004"));
    EXPECT_EQ(Events({BoxEvent(kError, kUnpackFailed), DeleteEvent(7004, 2, 1)}),
              CEventLog::Instance().Take());
    // Nothing unpacked beside the item's folder, nothing installed.
    EXPECT_FALSE(FileExists(Downloads(L"Ravonyx\\theme\\" + name + L".theme")));
    EXPECT_FALSE(DirectoryExists(Downloads(L"Ravonyx\\theme\\" + name)));
    EXPECT_FALSE(FileExists(Themes(name + L".theme")));
    EXPECT_FALSE(DirectoryExists(Themes(name)));
    EXPECT_FALSE(FileExists(windows + L"\\Cursors\\Cursors\\" + name.c_str() + L".cur"));
    EXPECT_TRUE(ControlPanelLog().empty());
    EXPECT_TRUE(DesktopLog().empty());
}

TEST_F(PackageInstall, EachFailureIsToldAndOffersDeletion)
{
    const std::wstring wallpaper = L"海边";
    const struct {
        const char* what;
        std::function<void(PackageInstall&)> arrange;
        int kind;
        int id;
        bool result;
        Events events;
    } rows[] = {
        {"not listed",
         [](PackageInstall&) {},
         1,
         7100,
         false,
         {BoxEvent(kError, kDamaged), DeleteEvent(7100, 2, 1)}},
        {"package missing",
         [](PackageInstall& t) {
             t.WriteList(2, {{7101, L"海边"}});
         },
         2,
         7101,
         false,
         {BoxEvent(kError, kDamaged), DeleteEvent(7101, 2, 2)}},
        {"extractor missing",
         [](PackageInstall& t) {
             t.WriteList(1, {{7102, L"蓝"}});
             t.WritePackage(7102, t.ThemeEntries(7102, L"蓝", true, true, false), PackagePasswordOf(7102));
             t.UseExtractor(L"");
         },
         1,
         7102,
         false,
         {BoxEvent(kError, kComponentMissing), DeleteEvent(7102, 2, 1)}},
        {"extractor exit code 2",
         [](PackageInstall& t) {
             t.WriteList(2, {{7103, L"海边"}});
             t.WritePackage(7103, t.WallpaperEntries(7103, L"海边"), PackagePasswordOf(7103));
             t.UseExtractor(L"stub");
             SetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", L"2");
         },
         2,
         7103,
         false,
         {BoxEvent(L"plain", kSevere), BoxEvent(kError, kUnpackFailed), DeleteEvent(7103, 2, 2)}},
        {"extractor exit code 3",
         [](PackageInstall& t) {
             t.WriteList(1, {{7104, L"蓝"}});
             t.WritePackage(7104, t.ThemeEntries(7104, L"蓝", true, true, false), PackagePasswordOf(7104));
             t.UseExtractor(L"stub");
             SetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", L"3");
         },
         1,
         7104,
         false,
         {BoxEvent(kError, kUnpackFailed), DeleteEvent(7104, 2, 1)}},
        {"wrong password",
         [](PackageInstall& t) {
             t.WriteList(2, {{7105, L"海边"}});
             t.WritePackage(7105, t.WallpaperEntries(7105, L"海边"), "7105_mirt_sabot");
         },
         2,
         7105,
         false,
         {BoxEvent(L"plain", kSevere), BoxEvent(kError, kUnpackFailed), DeleteEvent(7105, 2, 2)}},
        {"image not named after the item",
         [](PackageInstall& t) {
             t.WriteList(2, {{7106, L"海边"}});
             t.WritePackage(7106, t.WallpaperEntries(7106, L"山顶"), PackagePasswordOf(7106));
         },
         2,
         7106,
         true,
         {BoxEvent(kError, kWallpaperFailed), DeleteEvent(7106, 2, 2)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        UseExtractor(L"real");
        row.arrange(*this);
        EXPECT_EQ(row.result, InstallPackage(row.kind, std::to_wstring(row.id).c_str()));
        EXPECT_EQ(row.events, CEventLog::Instance().Take());
    }
}

TEST_F(PackageInstall, ThemeThatPlacesNothingIsToldAndOffersDeletion)
{
    const CString record = program / L"Data\\PlacedThemes.txt";
    const struct {
        const char* what;
        std::function<ZipEntries(PackageInstall& t, int id, const std::wstring& name)> entries;
        bool recordReadOnly;
    } rows[] = {
        {"an empty package", [](PackageInstall&, int, const std::wstring&) { return ZipEntries(); }, false},
        {"only a readme in the item's folder",
         [](PackageInstall&, int id, const std::wstring&) {
             return ZipEntries{{std::to_string(id) + "/readme.txt", "read me"}};
         },
         false},
        {"cursors and a theme file, no visual style",
         [](PackageInstall&, int id, const std::wstring& name) {
             const std::string top = std::to_string(id) + "/";
             return ZipEntries{{top + Utf8(name) + ".theme", "[Theme]"},
                               {top + "Cursors/" + Utf8(name) + ".cur", "cursor"}};
         },
         false},
        {"a record of placed themes that cannot be written",
         [](PackageInstall& t, int id, const std::wstring& name) { return t.ThemeEntries(id, name); }, true},
    };
    int id = 7600;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ++id;
        const std::wstring name = UniqueName(L"空包");
        WriteList(1, {{id, name}});
        WritePackage(id, row.entries(*this, id, name), PackagePasswordOf(id));
        if (row.recordReadOnly) {
            WriteFileBytes(record, "其他\r\n");
            SetFileAttributesW(record, FILE_ATTRIBUTE_READONLY);
        }
        ShowFromControlPanel(L"cabinet");

        EXPECT_FALSE(InstallPackage(1, std::to_wstring(id).c_str()));
        SetFileAttributesW(record, FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(Events({BoxEvent(kError, kUnpackFailed), DeleteEvent(id, 2, 1)}),
                  CEventLog::Instance().Take());
        EXPECT_FALSE(FileExists(Themes(name + L".theme")));
        EXPECT_FALSE(DirectoryExists(Themes(name)));
        EXPECT_FALSE(FileExists(windows + L"\\Cursors\\Cursors\\" + name.c_str() + L".cur"));
        EXPECT_TRUE(ControlPanelLog().empty());
        EXPECT_TRUE(DesktopLog().empty());
    }
}

TEST_F(PackageInstall, NamesThatAreNoPlainFileNameAreNeverUsed)
{
    UseExtractor(L"stub");
    const CString commandLog = logs / L"extractor.txt";
    SetEnvironmentVariableW(L"RAVONYX_STUB_COMMAND_LOG", commandLog);
    SetEnvironmentVariableW(L"RAVONYX_STUB_EXIT_CODE", L"0");
    const wchar_t* names[] = {L"",       L".",   L"..",   L"..\\..\\Windows",
                              L"a/b",    L"C:x", L"*",    L"?",
                              L"\"",     L"<",   L">",    L"|",
                              L"名.",    L"名 ", L"a\\b", L"COM¹",
                              L"lpt³.名"};
    int id = 7200;
    for (const wchar_t* name : names) {
        SCOPED_TRACE(Utf8(name));
        for (int kind : {1, 2}) {
            ++id;
            WriteList(kind, {{id, name}});
            WritePackage(id, {{"x", "y"}}, "");
            EXPECT_FALSE(InstallPackage(kind, std::to_wstring(id).c_str()));
            EXPECT_EQ(Events({BoxEvent(kError, kUnpackFailed), DeleteEvent(id, 2, kind)}),
                      CEventLog::Instance().Take());
        }
    }
    // The extractor never ran.
    EXPECT_FALSE(FileExists(commandLog));
    EXPECT_TRUE(DesktopLog().empty());
    EXPECT_TRUE(ControlPanelLog().empty());
}

TEST_F(PackageInstall, FinishedWallpapersInstallOnThreadsOfTheirOwn)
{
    WriteList(2, {{7302, L"山顶"}, {7301, L"海边"}, {7303, L"湖泊"}});
    WritePackage(7301, WallpaperEntries(7301, L"海边"), PackagePasswordOf(7301));
    WritePackage(7302, WallpaperEntries(7302, L"山顶"), PackagePasswordOf(7302));
    // Misnamed inside: fails on its thread.
    WritePackage(7303, WallpaperEntries(7303, L"河流"), PackagePasswordOf(7303));

    // Two finish together; each thread installs its own.
    CHandle first = StartInstallPackageThread(7301, 2);
    CHandle second = StartInstallPackageThread(7302, 2);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first, 60000));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second, 60000));
    Events applied = DesktopLog();
    std::sort(applied.begin(), applied.end());
    EXPECT_EQ(Events({"ApplyChanges 7", "ApplyChanges 7",
                      "SetWallpaper " + Downloads(L"Ravonyx\\desktop\\7301\\海边.jpg").ToUtf8() + " 0",
                      "SetWallpaper " + Downloads(L"Ravonyx\\desktop\\7302\\山顶.jpg").ToUtf8() + " 0"}),
              applied);
    EXPECT_EQ(Events(), CEventLog::Instance().Take());

    CHandle failing = StartInstallPackageThread(7303, 2);
    ASSERT_TRUE(failing);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(failing, 60000));
    EXPECT_EQ(Events({BoxEvent(kError, kWallpaperFailed), DeleteEvent(7303, 2, 2)}),
              CEventLog::Instance().Take());
}

TEST_F(PackageInstall, RunItemInstallsTheListedItem)
{
    WriteList(2, {{7401, L"海边"}});
    WritePackage(7401, WallpaperEntries(7401, L"海边"), PackagePasswordOf(7401));
    RunItem(7401, 2);
    EXPECT_EQ(Events({"SetWallpaper " + Downloads(L"Ravonyx\\desktop\\7401\\海边.jpg").ToUtf8() + " 0",
                      "ApplyChanges 7"}),
              DesktopLog());
    EXPECT_EQ(Events(), CEventLog::Instance().Take());
}

TEST_F(PackageInstall, PasswordIsWrittenNowhere)
{
    const std::wstring name = UniqueName(L"密码");
    WriteList(1, {{7501, name}});
    WriteList(2, {{7502, L"海边"}, {7503, L"山顶"}});
    WritePackage(7501, ThemeEntries(7501, name), PackagePasswordOf(7501));
    WritePackage(7502, WallpaperEntries(7502, L"海边"), PackagePasswordOf(7502));
    WritePackage(7503, WallpaperEntries(7503, L"山顶"), "wrong");
    ShowFromControlPanel(L"cabinet");
    EXPECT_TRUE(InstallPackage(1, L"7501"));
    EXPECT_TRUE(InstallPackage(2, L"7502"));
    EXPECT_FALSE(InstallPackage(2, L"7503"));
    EXPECT_TRUE(WaitForControlPanel(false));

    std::vector<std::string> secrets;
    for (int id : {7501, 7502, 7503}) {
        const std::string password = PackagePasswordOf(id);
        secrets.push_back(password);
        const std::wstring wide(password.begin(), password.end());
        secrets.emplace_back(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    }
    size_t files = 0;
    for (const CString& folder : {program.Path(), downloads.Path(), logs.Path()}) {
        for (const auto& [path, bytes] : TreeOf(folder)) {
            ++files;
            for (const std::string& secret : secrets)
                EXPECT_EQ(std::string::npos, bytes.find(secret)) << path;
        }
    }
    EXPECT_GT(files, 6u);
    for (const std::string& event : CEventLog::Instance().Take())
        EXPECT_EQ(std::string::npos, event.find("saboe")) << event;
}

} // namespace
