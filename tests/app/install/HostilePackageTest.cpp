// Packages from the server whose content is hostile (their MD5 is right):
// the real extractor, the real Windows theme and cursor folders of the
// prefix, and what must stay untouched there.
#include "InstallTestSupport.h"

#include "../common/ZipFixture.h"

#include "app/catalog/DeleteTask.h"
#include "app/catalog/LocalLists.h"
#include "app/common/FileUtils.h"
#include "app/install/DefaultTheme.h"
#include "app/install/PackageInstall.h"
#include "app/install/PlacedThemes.h"
#include "app/install/ThemeApply.h"

#include <cwctype>
#include <functional>
#include <random>

namespace {

const wchar_t kCannotDelete[] = L"文件无法删除，请检查您的权限！";

using Tree = std::map<std::string, std::string>;

class HostilePackage : public InstallFixture {
protected:
    // A theme of someone else's in the Windows theme folder: its file and
    // visual-style folder, never recorded as placed by this program.
    void PlaceForeignTheme(const std::wstring& name)
    {
        const CString style = themes + L"\\" + name.c_str() + L"\\" + name.c_str() + L".msstyles";
        MakeFolderFor(style);
        WriteFileBytes(style, "the system's own visual style");
        WriteFileBytes(themes + L"\\" + name.c_str() + L".theme", "[Theme]\r\nthe system's own\r\n");
    }
    Tree WindowsFolders() { return TreeOf(themes); }
    Tree CursorFolder() { return TreeOf(windows + L"\\Cursors"); }
    Tree Unpacked() { return TreeOf(downloads / L"Ravonyx\\theme"); }
    Tree UnpackedWallpapers() { return TreeOf(downloads / L"Ravonyx\\desktop"); }
};

Events Refused(int id, int kind)
{
    return {BoxEvent(kError, kUnpackFailed), DeleteEvent(id, 2, kind)};
}

Events RefusedByTheExtractor(int id, int kind)
{
    return {BoxEvent(L"plain", kSevere), BoxEvent(kError, kUnpackFailed), DeleteEvent(id, 2, kind)};
}

// Every path the tree gained lies inside the item's own folder.
void ExpectOnlyBelow(const Tree& before, const Tree& after, int id)
{
    const std::string folder = std::to_string(id) + "\\";
    for (const auto& [path, bytes] : after) {
        if (!before.count(path)) {
            EXPECT_EQ(0u, path.rfind(folder, 0)) << path;
        }
    }
}

TEST_F(HostilePackage, ThemeNamedLikeSomeoneElsesIsRefusedAndTheirFilesStay)
{
    const std::wstring foreign = UniqueName(L"系统主题");
    PlaceForeignTheme(foreign);
    const std::wstring styleOnly = UniqueName(L"StyleOnly");
    MakeFolderFor(themes + L"\\" + styleOnly.c_str() + L"\\x.msstyles");
    WriteFileBytes(themes + L"\\" + styleOnly.c_str() + L"\\x.msstyles", "someone's");
    const std::wstring fileOnly = UniqueName(L"FileOnly");
    WriteFileBytes(themes + L"\\" + fileOnly.c_str() + L".theme", "someone's");
    std::wstring upper = fileOnly;
    for (wchar_t& ch : upper)
        ch = static_cast<wchar_t>(towupper(ch));

    const struct {
        const char* what;
        std::wstring name;
    } rows[] = {
        {"theme file and visual-style folder", foreign},
        {"visual-style folder only", styleOnly},
        {"theme file only", fileOnly},
        {"in other case", upper},
    };
    int id = 8000;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ++id;
        const Tree before = WindowsFolders();
        const Tree cursors = CursorFolder();
        WriteList(1, {{id, row.name}});
        ServePackage(id, ThemeEntries(id, row.name), PackagePasswordOf(id));
        ShowFromControlPanel(L"cabinet");

        EXPECT_FALSE(InstallPackage(1, std::to_wstring(id).c_str()));
        EXPECT_EQ(Refused(id, 1), CEventLog::Instance().Take());
        EXPECT_EQ(before, WindowsFolders());
        EXPECT_EQ(cursors, CursorFolder());
        EXPECT_TRUE(ControlPanelLog().empty());
        EXPECT_FALSE(IsPlacedTheme(row.name.c_str()));

        // The item's removal leaves them as well.
        EXPECT_TRUE(RemoveThemePackage(row.name.c_str()));
        EXPECT_EQ(before, WindowsFolders());
    }
}

TEST_F(HostilePackage, DefaultThemeOfWindowsIsNeverReplaced)
{
    // Windows' own default theme, as far as this prefix has none.
    const CString aero = themes + L"\\Aero.theme";
    const bool made = !FileExists(aero);
    if (made)
        PlaceForeignTheme(L"Aero");
    const Tree before = WindowsFolders();
    const std::string defaultTheme = ReadFileBytes(aero);
    WriteList(1, {{8101, L"aero"}});
    ServePackage(8101, ThemeEntries(8101, L"aero"), PackagePasswordOf(8101));
    ShowFromControlPanel(L"cabinet");

    EXPECT_FALSE(InstallPackage(1, L"8101"));
    EXPECT_EQ(Refused(8101, 1), CEventLog::Instance().Take());
    EXPECT_EQ(before, WindowsFolders());
    // "恢复默认主题" opens Windows' file, still as it was.
    RestoreDefaultTheme();
    EXPECT_TRUE(WaitForControlPanel(true));
    EXPECT_EQ(defaultTheme, ReadFileBytes(aero));
    if (made) {
        DeletePath(aero);
        DeletePath(themes + L"\\Aero");
    }
}

TEST_F(HostilePackage, WindowsOwnThemesAreNeitherPlacedNorRemovedWhateverTheRecordSays)
{
    // Luna is there (as far as this prefix has none, a stand-in), Royale and
    // classic are not; a record claims all three as placed.
    const wchar_t* names[] = {L"Luna", L"Royale", L"Classic"};
    std::vector<bool> made;
    for (const wchar_t* name : names)
        made.push_back(!FileExists(themes + L"\\" + name + L".theme") &&
                       !DirectoryExists(themes + L"\\" + name));
    if (made[0])
        PlaceForeignTheme(L"Luna");
    WriteFileBytes(program / L"Data\\PlacedThemes.txt", "Luna\r\nRoyale\r\nclassic\r\n");
    const Tree before = WindowsFolders();
    const Tree cursors = CursorFolder();

    int id = 8150;
    for (const wchar_t* name : names) {
        SCOPED_TRACE(Utf8(name));
        ++id;
        WriteList(1, {{id, name}});
        WritePackage(id, ThemeEntries(id, name), PackagePasswordOf(id));
        ShowFromControlPanel(L"cabinet");

        EXPECT_FALSE(InstallPackage(1, std::to_wstring(id).c_str()));
        EXPECT_EQ(Refused(id, 1), CEventLog::Instance().Take());
        EXPECT_EQ(before, WindowsFolders());
        EXPECT_EQ(cursors, CursorFolder());
        EXPECT_TRUE(ControlPanelLog().empty());
        EXPECT_FALSE(IsPlacedTheme(name));
        // Nothing of this program's is under that name, and nothing goes.
        EXPECT_TRUE(RemoveThemePackage(name));
        EXPECT_EQ(before, WindowsFolders());
    }
    // What a failing run may have placed goes, Windows' own files stay.
    for (size_t i = 0; i < made.size(); ++i) {
        DeletePath(windows + L"\\Cursors\\Cursors\\" + names[i] + L".cur");
        if (made[i]) {
            DeletePath(themes + L"\\" + names[i] + L".theme");
            DeletePath(themes + L"\\" + names[i]);
        }
    }
}

TEST_F(HostilePackage, ThemeNamedAfterTheShortNameOfSomeoneElsesIsRefused)
{
    const std::wstring foreign = UniqueName(L"Royale Noir");
    PlaceForeignTheme(foreign);
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameW(themes + L"\\" + foreign.c_str(), shortPath, MAX_PATH));
    const CString full = shortPath;
    const std::wstring alias = full.Mid(full.ReverseFind(L'\\') + 1).GetString();
    ASSERT_NE(CString(alias.c_str()).CompareNoCase(foreign.c_str()), 0);
    ASSERT_TRUE(DirectoryExists(themes + L"\\" + alias.c_str()));
    // A record that claims the short name as placed.
    WriteFileBytes(program / L"Data\\PlacedThemes.txt", Utf8(alias) + "\r\n");
    const Tree before = WindowsFolders();
    WriteList(1, {{8160, alias}});
    WritePackage(8160, ThemeEntries(8160, alias, true, true, false), PackagePasswordOf(8160));
    ShowFromControlPanel(L"cabinet");

    EXPECT_FALSE(InstallPackage(1, L"8160"));
    EXPECT_EQ(Refused(8160, 1), CEventLog::Instance().Take());
    EXPECT_EQ(before, WindowsFolders());
    EXPECT_TRUE(RemoveThemePackage(alias.c_str()));
    EXPECT_EQ(before, WindowsFolders());
    DeletePath(themes + L"\\" + alias.c_str() + L".theme");
}

TEST_F(HostilePackage, PackagesThatReachOutsideTheirFolderOrMisbehaveAreRefused)
{
    const struct {
        const char* what;
        int kind;
        std::function<ZipEntries(int id, const std::string& n)> entries;
        bool extractorRefuses;
    } rows[] = {
        {"an entry beside the item's folder", 1,
         [](int id, const std::string& n) {
             return ZipEntries{{std::to_string(id) + "/" + n + ".theme", "[Theme]"},
                               {n + ".theme", "beside"}};
         },
         false},
        {"an entry in another item's folder", 1,
         [](int id, const std::string& n) {
             return ZipEntries{{std::to_string(id) + "/" + n + ".theme", "[Theme]"},
                               {std::to_string(id + 1) + "/" + n + ".theme", "someone else's"}};
         },
         false},
        {"a wallpaper beside its folder", 2,
         [](int id, const std::string& n) {
             return ZipEntries{{std::to_string(id) + "/" + n + ".jpg", "JPEG"}, {"../" + n + ".jpg", "up"}};
         },
         false},
        {"an item folder that is a file", 1,
         [](int id, const std::string&) {
             return ZipEntries{{std::to_string(id), "a file"}};
         },
         false},
        {"an item folder whose name only starts with the id", 2,
         [](int id, const std::string& n) {
             return ZipEntries{{std::to_string(id) + "0/" + n + ".jpg", "J"}};
         },
         false},
        {"a device name", 1,
         [](int id, const std::string& n) {
             return ZipEntries{{std::to_string(id) + "/" + n + ".theme", "[Theme]"},
                               {std::to_string(id) + "/" + n + "/CON.msstyles", "device"}};
         },
         true},
        {"a device name in lower case with trailing dots", 2,
         [](int id, const std::string& n) {
             return ZipEntries{{std::to_string(id) + "/" + n + ".jpg", "JPEG"},
                               {std::to_string(id) + "/lpt1...", "device"}};
         },
         true},
        {"unpacks to more than 64 times its size", 1,
         [](int id, const std::string& n) {
             return ZipEntries{
                 {std::to_string(id) + "/" + n + ".theme", "[Theme]"},
                 {std::to_string(id) + "/" + n + "/" + n + ".msstyles", std::string(3000000, 'A')}};
         },
         true},
        {"more than 10,000 entries", 1,
         [](int id, const std::string& n) {
             ZipEntries entries;
             for (int i = 0; i <= 10000; ++i)
                 entries.push_back({std::to_string(id) + "/" + n + "/" + std::to_string(i) + ".jpg", ""});
             return entries;
         },
         true},
    };
    int id = 8200;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        id += 10;
        const std::wstring name = UniqueName(L"越界");
        const Tree before = WindowsFolders();
        const Tree cursors = CursorFolder();
        WriteList(row.kind, {{id, name}});
        ServePackage(id, row.entries(id, Utf8(name)), PackagePasswordOf(id));

        EXPECT_FALSE(InstallPackage(row.kind, std::to_wstring(id).c_str()));
        EXPECT_EQ(row.extractorRefuses ? RefusedByTheExtractor(id, row.kind) : Refused(id, row.kind),
                  CEventLog::Instance().Take());
        // Not a file written, not even inside the item's folder.
        EXPECT_EQ(Tree(), Unpacked());
        EXPECT_EQ(Tree(), UnpackedWallpapers());
        EXPECT_EQ(before, WindowsFolders());
        EXPECT_EQ(cursors, CursorFolder());
        EXPECT_TRUE(DesktopLog().empty());
        EXPECT_TRUE(ControlPanelLog().empty());
    }
}

TEST_F(HostilePackage, PathsOfTheWrongKindAreNotInstalled)
{
    const struct {
        const char* what;
        int kind;
        std::function<ZipEntries(const std::string& top, const std::string& n)> entries;
    } rows[] = {
        {"the visual style a file", 1,
         [](const std::string& top, const std::string& n) {
             return ZipEntries{{top + n + ".theme", "[Theme]"}, {top + n, "a file, not the style folder"}};
         }},
        {"the theme file a folder", 1,
         [](const std::string& top, const std::string& n) {
             return ZipEntries{{top + n + "/" + n + ".msstyles", "MZ"}, {top + n + ".theme/inside", "x"}};
         }},
        {"the cursors a file", 1,
         [](const std::string& top, const std::string& n) {
             return ZipEntries{{top + n + "/" + n + ".msstyles", "MZ"}, {top + "Cursors", "not a folder"}};
         }},
        {"the wallpaper a folder", 2,
         [](const std::string& top, const std::string& n) {
             return ZipEntries{{top + n + ".jpg/inside", "x"}};
         }},
    };
    int id = 8400;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ++id;
        const std::wstring name = UniqueName(L"种类");
        const Tree before = WindowsFolders();
        const Tree cursors = CursorFolder();
        const Tree unpacked = Unpacked();
        const Tree wallpapers = UnpackedWallpapers();
        WriteList(row.kind, {{id, name}});
        ServePackage(id, row.entries(std::to_string(id) + "/", Utf8(name)), PackagePasswordOf(id));
        ShowFromControlPanel(L"cabinet");

        const bool wallpaper = row.kind == 2;
        EXPECT_EQ(wallpaper, InstallPackage(row.kind, std::to_wstring(id).c_str()));
        EXPECT_EQ(wallpaper ? Events({BoxEvent(kError, kWallpaperFailed), DeleteEvent(id, 2, 2)})
                            : Refused(id, 1),
                  CEventLog::Instance().Take());
        // Unpacked into the item's own folder, and no further.
        ExpectOnlyBelow(unpacked, Unpacked(), id);
        ExpectOnlyBelow(wallpapers, UnpackedWallpapers(), id);
        EXPECT_EQ(before, WindowsFolders());
        EXPECT_EQ(cursors, CursorFolder());
        EXPECT_TRUE(DesktopLog().empty());
        EXPECT_TRUE(ControlPanelLog().empty());
    }
}

class ItemDeletion : public HostilePackage {
protected:
    void SetUp() override
    {
        HostilePackage::SetUp();
        // The delete offer is the real one; the watcher says yes to it.
        g_offerDelete = &DeleteTask;
    }
    bool Listed(int kind, int id)
    {
        CString file;
        return ReadItemFile(kind, std::to_wstring(id).c_str(), file) && !file.IsEmpty();
    }
};

TEST_F(ItemDeletion, FailedInstallationsDeleteOfferRemovesPackageAndWhatWasUnpacked)
{
    for (int kind : {1, 2}) {
        SCOPED_TRACE(kind);
        const int id = 8500 + kind;
        const std::wstring name = UniqueName(L"半途");
        const std::string n = Utf8(name);
        const std::string top = std::to_string(id) + "/";
        // The last entry's data is damaged: what comes before it is unpacked.
        std::mt19937 random(static_cast<unsigned>(id));
        std::string noise(40000, '\0');
        for (char& ch : noise)
            ch = static_cast<char>(random());
        const std::string first = kind == 2 ? top + n + ".jpg" : top + n + ".theme";
        WriteList(kind, {{id, name}, {id + 10, L"其他"}});
        const CString made = logs / L"damaged.zip";
        WriteZip(made, {{first, "written first"}, {top + "last.bin", noise}}, PackagePasswordOf(id));
        std::string bytes = ReadFileBytes(made);
        const size_t end = bytes.size() - 22;
        const size_t directory = static_cast<unsigned char>(bytes[end + 16]) |
                                 (static_cast<unsigned char>(bytes[end + 17]) << 8) |
                                 (static_cast<unsigned char>(bytes[end + 18]) << 16);
        for (size_t i = directory - 20000; i < directory - 19990; ++i)
            bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
        const CString package = downloads / (L"Ravonyx\\download\\" + std::to_wstring(id) + L".zip").c_str();
        WriteFileBytes(package, bytes);
        const CString unpacked =
            downloads /
            (std::wstring(kind == 2 ? L"Ravonyx\\desktop\\" : L"Ravonyx\\theme\\") + std::to_wstring(id))
                .c_str();

        EXPECT_FALSE(InstallPackage(kind, std::to_wstring(id).c_str()));
        // The extractor's message, the unpack failure and the real delete
        // confirmation, answered yes.
        EXPECT_EQ(
            Events({BoxEvent(L"plain", kSevere), BoxEvent(kError, kUnpackFailed), DeleteConfirmEvent()}),
            CEventLog::Instance().Take());
        EXPECT_FALSE(FileExists(package));
        EXPECT_FALSE(DirectoryExists(unpacked));
        EXPECT_FALSE(Listed(kind, id));
        EXPECT_TRUE(Listed(kind, id + 10));
    }
}

TEST_F(ItemDeletion, RemovalThatCannotDeleteIsToldAndKeepsTheEntry)
{
    const std::wstring name = UniqueName(L"使用中");
    WriteList(1, {{8601, name}});
    ServePackage(8601, ThemeEntries(8601, name, true, true, false), PackagePasswordOf(8601));
    ShowFromControlPanel(L"cabinet");
    ASSERT_TRUE(InstallPackage(1, L"8601"));
    ASSERT_TRUE(WaitForControlPanel(true));
    // Applied twice: the theme is this program's own and may be replaced.
    ServePackage(8601, ThemeEntries(8601, name, true, true, false), PackagePasswordOf(8601));
    ASSERT_TRUE(InstallPackage(1, L"8601"));
    ASSERT_TRUE(WaitForControlPanel(true));
    EXPECT_EQ(Events(), CEventLog::Instance().Take());
    const CString style = themes + L"\\" + name.c_str() + L"\\" + name.c_str() + L".msstyles";
    ASSERT_TRUE(FileExists(style));

    // The visual style is held as Windows holds the one in use.
    HANDLE held = CreateFileW(style, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(DeleteTask(8601, 1, 1));
    CloseHandle(held);
    const Events events = CEventLog::Instance().Take();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(BoxEvent(kError, kCannotDelete), events.back());
    EXPECT_TRUE(Listed(1, 8601));
    EXPECT_TRUE(FileExists(style));
    EXPECT_TRUE(IsPlacedTheme(name.c_str()));

    // Deleting again finishes the job.
    EXPECT_TRUE(DeleteTask(8601, 1, 1));
    EXPECT_FALSE(Listed(1, 8601));
    EXPECT_FALSE(DirectoryExists(themes + L"\\" + name.c_str()));
    EXPECT_FALSE(FileExists(themes + L"\\" + name.c_str() + L".theme"));
    EXPECT_FALSE(IsPlacedTheme(name.c_str()));
}

} // namespace
