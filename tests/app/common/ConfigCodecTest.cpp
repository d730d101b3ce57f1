#include "app/common/ConfigCodec.h"

#include "tests/support/KilledProbe.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct EncodedText {
    const wchar_t* text;
    const char* symbols;
};

// Keys and values as the program stores them; the Chinese rows are their
// code page 936 bytes.
const EncodedText kEncodedTexts[] = {
    {L"Path", "r34Gl900"},
    {L"Task", "q34FlA00"},
    {L"AutoStart", "voqGkHyGno.G"},
    {L"HotKey_V", "t3BGtJqZoHn0"},
    {L"0", "z900"},
    {L"1", "zv00"},
    {L"260", "zcnA"},
    {L"D:\\", "u6Rj"},
    {L"http://127.0.0.1/", "l2uGj6EP+F5DyDLA+c9OztV0"},
    {L"宋体", "DVCzZv00"},
    {L"微软雅黑", "FT+1Ci24OIE0"},
    {L"D:\\下载\\", "u6RjFV+rJ4A0"},
};

TEST(ConfigCodec, TheUsersCodePageIs936)
{
    // The Chinese rows below hold only under the users' code page.
    EXPECT_EQ(936u, GetACP());
}

TEST(ConfigCodec, EncodesAndDecodesRealKeysAndValues)
{
    for (const auto& row : kEncodedTexts) {
        SCOPED_TRACE(row.symbols);
        CString encoded;
        EXPECT_EQ(static_cast<int>(strlen(row.symbols)), EncodeConfigText(row.text, encoded));
        EXPECT_EQ(Wide(CString::FromAnsi(row.symbols)), Wide(encoded));

        CString decoded;
        EXPECT_GT(DecodeConfigText(CString::FromAnsi(row.symbols), decoded), 0);
        EXPECT_EQ(std::wstring(row.text), Wide(decoded));
    }
}

TEST(ConfigCodec, GroupLengthsAndPads)
{
    const struct {
        const char* bytes;
        const char* symbols;
    } rows[] = {
        {"a", "nv00"},
        {"ab", "np10"},
        {"abc", "np.c"},
        {"abcd", "np.cm900"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        std::string symbols;
        const int length = static_cast<int>(strlen(row.bytes));
        EXPECT_EQ(static_cast<int>(strlen(row.symbols)),
                  EncodeConfigBytes(reinterpret_cast<const unsigned char*>(row.bytes), length, symbols));
        EXPECT_EQ(row.symbols, symbols);

        unsigned char decoded[16] = {};
        EXPECT_EQ(length, DecodeConfigBytes(row.symbols, decoded));
        EXPECT_EQ(std::string(row.bytes), std::string(reinterpret_cast<char*>(decoded), length));
    }
}

TEST(ConfigCodec, EmptyInputEncodesToNothing)
{
    std::string symbols = "stale";
    EXPECT_EQ(0, EncodeConfigBytes(reinterpret_cast<const unsigned char*>(""), 0, symbols));
    EXPECT_EQ("", symbols);
    CString encoded = L"stale";
    EXPECT_EQ(0, EncodeConfigText(L"", encoded));
    EXPECT_TRUE(encoded.IsEmpty());
}

TEST(ConfigCodec, EveryByteValueSurvivesTheRoundTrip)
{
    std::vector<unsigned char> bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[i] = static_cast<unsigned char>(255 - i);
    std::string symbols;
    ASSERT_EQ(344, EncodeConfigBytes(bytes.data(), 256, symbols));
    EXPECT_EQ(std::string::npos,
              symbols.find_first_not_of("0987654321.-+zyxwvutsrqponmlkjihgfedcbaQWERTYUIOPASDFGHJKLZXCVBNM"));

    std::vector<unsigned char> decoded(258, 0xCC);
    EXPECT_EQ(256, DecodeConfigBytes(symbols.c_str(), decoded.data()));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), decoded.begin()));
}

TEST(ConfigCodec, MalformedAndForeignGroups)
{
    const struct {
        const char* symbols;
        int result;
        const char* bytes; // what the decoder wrote before it stopped
    } rows[] = {
        {"", 0, ""},
        {"!np.c", 0, ""},       // foreign first character: nothing to decode
        {"np.c!np.", 3, "abc"}, // decoding stops before a foreign group start
        {"np.cm", -1, "abc"},   // five symbols: the second group is short
        {"np", -1, ""},
        {"0p.c", -1, ""}, // pad in the first place
        {"n0.c", -1, ""}, // pad in the second place
        {"np0c", -1, ""}, // symbol after a pad
        {"n000", -1, ""}, // three pads
        {"0000", -1, ""},
        {"np.cn!.c", -1, "abc"}, // foreign character inside a group
        {"nv00np.c", 4, "aabc"}, // a padded group does not end the text
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.symbols);
        unsigned char decoded[16] = {};
        EXPECT_EQ(row.result, DecodeConfigBytes(row.symbols, decoded));
        EXPECT_EQ(std::string(row.bytes), std::string(reinterpret_cast<char*>(decoded)));
    }
}

TEST(ConfigCodec, DecodeTextKeepsWhatCameBeforeTheFault)
{
    CString decoded;
    EXPECT_EQ(-1, DecodeConfigText(L"np.cm", decoded));
    EXPECT_EQ(L"abc", Wide(decoded));
    EXPECT_EQ(0, DecodeConfigText(L"!abc", decoded));
    EXPECT_TRUE(decoded.IsEmpty());
}

class ConfigFile : public ::testing::Test {
protected:
    CTempFolder folder;
    CString ini = folder / L"common.ini";
};

TEST_F(ConfigFile, SectionsStayPlainWhileKeysAndValuesAreScrambled)
{
    EXPECT_NE(0, WriteConfigValue(L"DownLoad", L"Path", L"D:\\下载\\", ini));
    EXPECT_NE(0, WriteConfigValue(L"Common", L"AutoStart", L"1", ini));
    EXPECT_NE(0, WriteConfigValue(L"Update", L"AutoUpdate", L"0", ini));
    EXPECT_NE(0, WriteConfigValue(L"ProXYSet", L"HotKey_V", L"260", ini));

    const std::string text = ReadFileBytes(ini);
    EXPECT_NE(std::string::npos, text.find("[DownLoad]\r\nr34Gl900=u6RjFV+rJ4A0\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("[Common]\r\nvoqGkHyGno.G=zv00\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("[Update]\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("[ProXYSet]\r\nt3BGtJqZoHn0=zcnA\r\n")) << text;
    EXPECT_EQ(std::string::npos, text.find("Path")) << text;

    CString value;
    EXPECT_EQ(1, ReadConfigValue(L"DownLoad", L"Path", ini, L"", 260, value));
    EXPECT_EQ(L"D:\\下载\\", Wide(value));
    EXPECT_EQ(1, ReadConfigValue(L"Update", L"AutoUpdate", ini, L"1", 260, value));
    EXPECT_EQ(L"0", Wide(value));
}

TEST_F(ConfigFile, EmptyKeyOrValueWritesNothing)
{
    EXPECT_EQ(0, WriteConfigValue(L"Common", L"", L"1", ini));
    EXPECT_EQ(0, WriteConfigValue(L"Common", L"HotKey_V", L"", ini));
    EXPECT_FALSE(FileExists(ini));
}

TEST_F(ConfigFile, AbsentKeysGiveTheDefault)
{
    ASSERT_NE(0, WriteConfigValue(L"Common", L"AutoStart", L"1", ini));
    const CString missing = folder / L"missing.ini";
    const struct {
        const CString* file;
        const wchar_t* key;
    } absent[] = {{&ini, L"Task"}, {&missing, L"AutoStart"}};
    for (const auto& row : absent) {
        SCOPED_TRACE(row.key);
        CString value = L"unchanged";
        EXPECT_EQ(1, ReadConfigValue(L"Common", row.key, *row.file, L"0", 260, value));
        EXPECT_EQ(L"0", Wide(value));
        value = L"unchanged";
        EXPECT_EQ(0, ReadConfigValue(L"Common", row.key, *row.file, L"", 260, value));
        EXPECT_EQ(L"unchanged", Wide(value));
    }
    CString value = L"unchanged";
    EXPECT_EQ(0, ReadConfigValue(L"Common", L"", ini, L"0", 260, value));
    EXPECT_EQ(L"unchanged", Wide(value));
}

TEST_F(ConfigFile, StoredTextsReadAsTheCodecSaysTheyDo)
{
    // Values written by hand: one equal to the default is taken plain, a five
    // symbol text gives its first group, a foreign character reads as nothing,
    // an empty value as absent.
    WriteFileBytes(ini, "[Common]\r\n"
                        "voqGkHyGno.G=0\r\n"
                        "r34Gl900=np.cm\r\n"
                        "q34FlA00=!abc\r\n"
                        "t3BGtJqZoHn0=\r\n");
    CString value;
    EXPECT_EQ(1, ReadConfigValue(L"Common", L"AutoStart", ini, L"0", 260, value));
    EXPECT_EQ(L"0", Wide(value));
    EXPECT_EQ(1, ReadConfigValue(L"Common", L"Path", ini, L"", 260, value));
    EXPECT_EQ(L"abc", Wide(value));
    EXPECT_EQ(0, ReadConfigValue(L"Common", L"Task", ini, L"", 260, value));
    value = L"unchanged";
    EXPECT_EQ(0, ReadConfigValue(L"Common", L"HotKey_V", ini, L"", 260, value));
    EXPECT_EQ(L"unchanged", Wide(value));
}

TEST_F(ConfigFile, ReadsAreBoundedByTheBuffer)
{
    const CString longValue(L'x', 400);
    ASSERT_NE(0, WriteConfigValue(L"Common", L"Path", longValue, ini));
    CString value;
    // A size beyond the 260-character buffer is held to it.
    EXPECT_EQ(1, ReadConfigValue(L"Common", L"Path", ini, L"", 1000, value));
    EXPECT_GT(value.GetLength(), 0);
    EXPECT_LE(value.GetLength(), 260 * 3 / 4);
    EXPECT_EQ(std::wstring(value.GetLength(), L'x'), Wide(value));
}

// The scrambled form of a text, as the file holds it.
CString Scrambled(const wchar_t* text)
{
    CString symbols;
    EncodeConfigText(text, symbols);
    return symbols;
}

// Every write leaves the file as the system's own writer leaves it, byte for
// byte: the same layout, order and encoding, whatever the file held before
// (the program's own files, one edited by hand, one with a byte-order mark).
TEST_F(ConfigFile, TheFileIsWrittenAsTheSystemWritesIt)
{
    const struct {
        const char* name;
        const char* before; // null: no file
        size_t length;
    } starts[] = {
        {"no file", nullptr, 0},
        {"an empty file", "", 0},
        {"the program's own", "[DownLoad]\r\nr34Gl900=u6Rj\r\n[Common]\r\nvoqGkHyGno.G=zv00\r\n", 0},
        {"edited by hand",
         "; settings\r\n\r\n[Common]\r\n  voqGkHyGno.G = z900  \r\nstray\n\n[DownLoad]\nx=1", 0},
        {"a UTF-8 mark", "\xEF\xBB\xBF[Common]\r\nvoqGkHyGno.G=zv00\r\n", 0},
        {"a UTF-16 mark", "\xFF\xFE[\0C\0o\0m\0m\0o\0n\0]\0\r\0\n\0", 22},
    };
    const ConfigEntry writes[] = {
        {L"DownLoad", L"Path", L"D:\\下载\\"}, {L"Common", L"AutoStart", L"0"},
        {L"Update", L"AutoUpdate", L"1"},      {L"DownLoad", L"Task", L"3"},
        {L"Common", L"AutoStart", L"0"},       {L"DownLoad", L"Path", L"E:\\"},
        {L"common", L"AutoStart", L"1"},
    };
    const CString twin = folder / L"twin.ini";
    for (const auto& start : starts) {
        SCOPED_TRACE(start.name);
        DeleteFileW(ini);
        DeleteFileW(twin);
        if (start.before) {
            const std::string before(start.before, start.length ? start.length : std::strlen(start.before));
            WriteFileBytes(ini, before);
            WriteFileBytes(twin, before);
        }
        for (const ConfigEntry& write : writes) {
            SCOPED_TRACE((write.section + L" " + write.key + L"=" + write.value).ToUtf8());
            ASSERT_EQ(1, WriteConfigValue(write.section, write.key, write.value, ini));
            ASSERT_NE(FALSE, WritePrivateProfileStringW(write.section, Scrambled(write.key),
                                                        Scrambled(write.value), twin));
            ASSERT_EQ(ReadFileBytes(twin), ReadFileBytes(ini));
        }
        // A batch writes as its writes one after the other do.
        ASSERT_EQ(1, WriteConfigValues({{L"Common", L"HotKey", L"Ctrl+Alt+Z"},
                                        {L"Common", L"HotKey_V", L"90"},
                                        {L"ProXYSet", L"Width", L"800"}},
                                       ini));
        for (const auto& [section, key, value] :
             {std::tuple{L"Common", L"HotKey", L"Ctrl+Alt+Z"}, std::tuple{L"Common", L"HotKey_V", L"90"},
              std::tuple{L"ProXYSet", L"Width", L"800"}})
            WritePrivateProfileStringW(section, Scrambled(key), Scrambled(value), twin);
        EXPECT_EQ(ReadFileBytes(twin), ReadFileBytes(ini));
        // Nothing is left beside the file.
        EXPECT_EQ((std::vector<std::string>{"common.ini", "twin.ini"}), folder.Files());
    }
}

// A batch goes in whole or not at all; a file that cannot be replaced keeps
// what it held, and nothing is left beside it.
TEST_F(ConfigFile, AWriteThatCannotFinishChangesNothing)
{
    const std::string before = "[Common]\r\nvoqGkHyGno.G=zv00\r\n";
    WriteFileBytes(ini, before);
    EXPECT_EQ(0, WriteConfigValues({{L"Common", L"AutoStart", L"0"}, {L"Common", L"HotKey", L""}}, ini));
    EXPECT_EQ(0, WriteConfigValues({}, ini));
    EXPECT_EQ(before, ReadFileBytes(ini));

    ASSERT_TRUE(SetFileAttributesW(ini, FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(0, WriteConfigValue(L"Common", L"AutoStart", L"0", ini));
    ASSERT_TRUE(SetFileAttributesW(ini, FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(before, ReadFileBytes(ini));

    // Held open by a reader that lets nobody write or delete it.
    HANDLE held = CreateFileW(ini, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, WriteConfigValue(L"Common", L"AutoStart", L"0", ini));
    CloseHandle(held);
    EXPECT_EQ(before, ReadFileBytes(ini));

    EXPECT_EQ(0, WriteConfigValue(L"Common", L"AutoStart", L"0", folder / L"absent\\common.ini"));
    EXPECT_EQ(std::vector<std::string>{"common.ini"}, folder.Files());

    // A copy left beside the file by a write that was stopped is not read.
    WriteFileBytes(ini + L".edit", "[Stale]\r\nx=1\r\n");
    ASSERT_EQ(1, WriteConfigValue(L"Common", L"AutoStart", L"0", ini));
    EXPECT_EQ("[Common]\r\nvoqGkHyGno.G=z900\r\n", ReadFileBytes(ini));
    EXPECT_EQ(std::vector<std::string>{"common.ini"}, folder.Files());
}

// What a write stopped by a kill left beside the file, however it was left
// (read-only, or a folder in the way of the next write), never stops the
// writes after it once the program has started.
TEST_F(ConfigFile, LeftoversOfAStoppedWriteAreClearedAtStart)
{
    const std::string before = "[Common]\r\nvoqGkHyGno.G=zv00\r\n";
    WriteFileBytes(ini, before);
    WriteFileBytes(ini + L".edit", "[Stale]\r\nx=1\r\n");
    ASSERT_TRUE(SetFileAttributesW(ini + L".edit", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryW(ini + L".new", nullptr));
    WriteFileBytes(ini + L".new\\kept.txt", "x");
    EXPECT_EQ(0, WriteConfigValue(L"Common", L"AutoStart", L"0", ini));
    EXPECT_EQ(before, ReadFileBytes(ini));

    EXPECT_TRUE(ClearStaleConfigCopies(ini));
    ASSERT_EQ(1, WriteConfigValue(L"Common", L"AutoStart", L"0", ini));
    EXPECT_EQ("[Common]\r\nvoqGkHyGno.G=z900\r\n", ReadFileBytes(ini));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(ini + L".edit"));
    // What the folder held is not ours: it is moved out of the way, not deleted.
    EXPECT_EQ("x", ReadFileBytes(ini + L".new.0\\kept.txt"));

    // A read-only copy alone does not even wait for the start.
    WriteFileBytes(ini + L".edit", "[Stale]\r\nx=1\r\n");
    ASSERT_TRUE(SetFileAttributesW(ini + L".edit", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(1, WriteConfigValue(L"Common", L"AutoStart", L"1", ini));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(ini + L".edit"));
}

// A settings file of many sections, its [DownLoad] Path set to
// "D:\下载\<round>\".
std::string LargeSettings(int round)
{
    CString path;
    path.Format(L"D:\\下载\\%d\\", round);
    std::string text =
        "[DownLoad]\r\n" + Scrambled(L"Path").ToAnsi() + "=" + Scrambled(path).ToAnsi() + "\r\n";
    for (int section = 0; section < 60; ++section) {
        text += "[Section" + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 30; ++key) {
            CString name;
            name.Format(L"Key%d", key);
            text += Scrambled(name).ToAnsi() + "=" + Scrambled(L"一个设置的值").ToAnsi() + "\r\n";
        }
    }
    return text;
}

// A program killed while it writes a setting, again and again at other
// moments of its writes, leaves the file as it was before or after that
// write, whole: never empty, never half new, so the download root is never
// lost to the default.
TEST_F(ConfigFile, AKillDuringAWriteLeavesTheOldOrTheNewFile)
{
    WriteFileBytes(ini, LargeSettings(0));
    const CString probe = ProgramBesideThisOne(L"config_write_probe.exe");
    HANDLE written = CreateEventW(nullptr, FALSE, FALSE, L"RavonyxConfigWrittenTest");
    ASSERT_NE(nullptr, written);
    SetEnvironmentVariableW(L"RAVONYX_CONFIG_PATH", ini);
    SetEnvironmentVariableW(L"RAVONYX_CONFIG_WRITTEN", L"RavonyxConfigWrittenTest");

    int last = 0;
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(round);
        // Once it has written, kill it at another moment of its work each round.
        ASSERT_TRUE(KillProbeAfterItsFirstWork(probe, written, static_cast<DWORD>(round * 23 % 200)))
            << "the probe never wrote the setting, or did not end when killed";

        CString path;
        ASSERT_EQ(1, ReadConfigValue(L"DownLoad", L"Path", ini, L"<default>", 260, path));
        ASSERT_EQ(0, path.Find(L"D:\\下载\\")) << path.ToUtf8();
        const int now = _wtoi(path.GetString() + 6);
        EXPECT_GT(now, 0) << "the writes of this round are lost";
        ASSERT_EQ(LargeSettings(now), ReadFileBytes(ini)) << "not the file of round " << now;
        last = now;
        // The probe starts again from round 1.
        WriteFileBytes(ini, LargeSettings(0));
    }
    EXPECT_GT(last, 0);
    CloseHandle(written);
}

} // namespace
