// The program folder as the build lays it out: the files start-up requires,
// the default settings read back through the program's own settings code,
// and empty local lists.
#include <gtest/gtest.h>

#include "app/common/ConfigCodec.h"
#include "tests/support/TempFolder.h"

#include <tinyxml.h>

namespace {

// A build path as a Windows path.
CString WinePath(const char* unixPath)
{
    CString path = CString::FromUtf8(unixPath);
    path.Replace(L'/', L'\\');
    return L"Z:" + path;
}

// The folder with a trailing backslash.
CString ProgramFolder()
{
    return WinePath(RAVONYX_PROGRAM_FOLDER) + L"\\";
}

} // namespace

TEST(ProgramFolder, HoldsTheFilesStartUpRequiresAndThePages)
{
    const wchar_t* const files[] = {L"Config\\common.ini",
                                    L"Dunmere.dll",
                                    L"Extract.dll",
                                    L"Local\\list\\menumanage.html",
                                    L"Data\\MyThemes.xml",
                                    L"Data\\MyImages.xml",
                                    L"Local\\management\\error.html",
                                    L"Local\\management\\left.html",
                                    L"Local\\management\\mythemes.html",
                                    L"Local\\management\\myimages.html",
                                    L"Local\\management\\min.html"};
    for (const wchar_t* file : files)
        EXPECT_TRUE(FileExists(ProgramFolder() + file)) << CString(file).ToUtf8();
}

TEST(ProgramFolder, SettingsHoldEveryDefaultScrambled)
{
    struct Setting {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    };
    const Setting defaults[] = {
        {L"DownLoad", L"Path", L"d:\\"},    {L"DownLoad", L"Task", L"2"},    {L"DownLoad", L"Thread", L"3"},
        {L"DownLoad", L"AutoDown", L"0"},   {L"Common", L"AutoStart", L"1"}, {L"Common", L"AlertDown", L"0"},
        {L"Common", L"Subscription", L"1"}, {L"Common", L"ReceiveAd", L"1"}, {L"Common", L"UseHotKey", L"0"},
        {L"Common", L"HotKey", L"0"},       {L"Common", L"HotKey_V", L"0"},  {L"Common", L"MinOrClose", L"1"},
        {L"Common", L"InstallDate", L"0"},  {L"Common", L"acttime", L"0"},   {L"Common", L"actnum", L"0"},
        {L"Update", L"AutoUpdate", L"0"},   {L"ProXYSet", L"Width", L"0"},   {L"ProXYSet", L"Height", L"0"},
    };
    // The file the build lays into the folder; the folder's own copy may
    // already hold what a run of the program wrote.
    const CString ini = WinePath(RAVONYX_DEFAULT_SETTINGS);
    for (const Setting& s : defaults) {
        // A default no key has: what comes back was decoded from the file.
        CString value;
        EXPECT_EQ(ReadConfigValue(s.section, s.key, ini, L"(absent)", 260, value), 1);
        EXPECT_EQ(value, CString(s.value)) << CString(s.key).ToUtf8() << " = " << value.ToUtf8();
        // Key names are scrambled: the plain name is not in the file.
        wchar_t plain[64] = {};
        GetPrivateProfileStringW(s.section, s.key, L"(absent)", plain, 64, ini);
        EXPECT_STREQ(plain, L"(absent)") << CString(s.key).ToUtf8();
    }
    // Section names stay plain, one each.
    const std::string text = ReadFileBytes(ini);
    for (const char* section : {"[DownLoad]", "[Common]", "[Update]", "[ProXYSet]"}) {
        const size_t at = text.find(section);
        EXPECT_NE(at, std::string::npos) << section;
        EXPECT_EQ(text.find(section, at + 1), std::string::npos) << section;
    }
}

TEST(ProgramFolder, LocalListsAreEmptyDocumentsWithADeclaration)
{
    for (const wchar_t* list : {L"Data\\MyThemes.xml", L"Data\\MyImages.xml"}) {
        const std::string text = ReadFileBytes(ProgramFolder() + list);
        EXPECT_EQ(text.rfind("<?xml version=\"1.0\"", 0), 0u) << text;
        TiXmlDocument document;
        document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
        ASSERT_FALSE(document.Error()) << document.ErrorDesc();
        ASSERT_NE(document.RootElement(), nullptr);
        EXPECT_EQ(document.RootElement()->FirstChild(), nullptr) << "an empty list";
    }
}
