#include "app/common/XmlReader.h"
#include "app/common/FileReplace.h"
#include "app/common/XmlText.h"

#include "base/XmlNesting.h"
#include "tests/support/DeepXml.h"
#include "tests/support/KilledProbe.h"
#include "tests/support/PageEdge.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// 한 (Korean) and 😀 have no place in code page 936; 蓝 and 色 have.
const char kList[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
    "<list>\n"
    "    <!-- newest first -->\n"
    "    <item id=\"12\" name=\"蓝色 한\">\n"
    "        <jsons>{\"id\":\"12\",\"title\":\"蓝色 한 😀\",\"status\":1,\"progress\":\"45\"}</jsons>\n"
    "        <file>Ravonyx\\download\\12.zip</file>\n"
    "    </item>\n"
    "    <item id=\"1\" name=\"one\">\n"
    "        <jsons>{\"id\":\"1\",\"status\":2,\"info\":{\"a\":1}}</jsons>\n"
    "        <file>Ravonyx\\download\\1.zip</file>\n"
    "    </item>\n"
    "    <item id=\"7\" name=\"seven\">\n"
    "        <jsons>{\"id\":\"7\",\"status\":3}</jsons>\n"
    "        <file>Ravonyx\\download\\7.zip</file>\n"
    "    </item>\n"
    "    <item id=\"12\" name=\"duplicate\">\n"
    "        <jsons>{\"id\":\"12\",\"status\":5}</jsons>\n"
    "    </item>\n"
    "</list>\n";

class XmlList : public ::testing::Test {
protected:
    CTempFolder folder;
    CString path = folder / L"MyThemes.xml";
    CString saved = folder / L"saved.xml";

    void Write(const std::string& text) { WriteFileBytes(path, text); }
    std::string Ansi(const wchar_t* text) { return CString(text).ToAnsi(); }

    // The stored UTF-8 text of the first child named tag of the item with id.
    std::string StoredChildText(const CString& file, const char* id, const char* tag)
    {
        TiXmlDocument document;
        std::FILE* f = _wfopen(file, L"rb");
        if (!f)
            return "<no file>";
        document.LoadFile(f);
        std::fclose(f);
        for (TiXmlElement* item = document.RootElement() ? document.RootElement()->FirstChildElement()
                                                         : nullptr;
             item; item = item->NextSiblingElement()) {
            const char* value = item->Attribute("id");
            if (value && std::string(value) == id) {
                TiXmlElement* child = item->FirstChildElement(tag);
                return child && child->GetText() ? child->GetText() : "";
            }
        }
        return "<no item>";
    }
};

// An item list whose item holds elements nested levels deep.
std::string DeepList(int levels)
{
    std::string text = "<list><item id=\"1\" name=\"deep\"><jsons>{\"status\":1}</jsons>";
    for (int i = 0; i < levels; ++i)
        text += "<x>";
    for (int i = 0; i < levels; ++i)
        text += "</x>";
    return text + "</item></list>";
}

TEST_F(XmlList, MissingEmptyOrBrokenFilesLeaveNothingToWorkOn)
{
    // Nested 10,000 deep, a damaged or hostile file is malformed too: the
    // parser would run out of stack on it.
    const std::string contents[] = {"", "<list><item id=\"1\">", "not xml at all", DeepList(10000)};
    for (const std::string& content : contents) {
        SCOPED_TRACE(content.substr(0, 40));
        Write(content);
        for (const CString& file : {path, folder / L"absent.xml"}) {
            CXmlReader reader(file);
            EXPECT_EQ(nullptr, reader.CurrentElement());
            std::map<std::string, std::string> map;
            std::string text = "unchanged";
            EXPECT_FALSE(reader.MapItemStatus("jsons", "\"status\":", "item", "id", map));
            EXPECT_FALSE(reader.GetItemChildText("item", "id", L"1", "jsons", text));
            EXPECT_FALSE(reader.GetItemAttribute("item", "id", L"1", "name", text));
            EXPECT_EQ(0, reader.CountItems("jsons", ""));
            EXPECT_FALSE(reader.CollectItemTexts(text, "jsons", 1, 10, ""));
            EXPECT_EQ("unchanged", text);
            EXPECT_FALSE(reader.RemoveItem(saved, "item", "id", L"1"));
            EXPECT_FALSE(reader.ReplaceJsonValue(saved, "item", "id", L"1", "jsons", "\"status\":", "2", 1));
            const XmlNodeRecord record{"nextnode", "item", L""};
            EXPECT_FALSE(reader.AddNodes(&record, 1, saved));
            EXPECT_FALSE(FileExists(saved));
        }
    }
}

// A list that ends inside a UTF-8 sequence (the file cut short, or a hostile
// one), read as UTF-8 for its byte-order mark or its declaration: the
// parse step the reader runs reads nothing past the text's end (placed so
// that a read there faults), and the reader refuses the file.
TEST_F(XmlList, AListCutInsideAUtf8SequenceIsRefusedWithoutReadingPastItsEnd)
{
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
    const std::string cut[] = {
        "\xEF\xBB\xBF<list><item id='1' name='\xF0",
        "\xEF\xBB\xBF<list><item id=\"1\"><jsons>\xE4",
        declaration + "<list><item id='1' name='\xF0",
        declaration + "<list><item id=\"1\"><jsons>{\"title\":\"\xE8\x93",
    };
    for (const std::string& text : cut) {
        SCOPED_TRACE(::testing::PrintToString(text));
        CTextAtPageEdge edge(text);
        ASSERT_TRUE(edge.Placed());
        TiXmlDocument document;
        EXPECT_FALSE(ParseXmlText(edge.Text(), document, TIXML_DEFAULT_ENCODING));
        Write(text);
        EXPECT_EQ(nullptr, CXmlReader(path).CurrentElement());
    }
    // Whole, the same list reads, its last character kept.
    const std::string whole = declaration + "<list><item id=\"1\" name=\"\xE8\x93\x9D\"/></list>";
    CTextAtPageEdge edge(whole);
    ASSERT_TRUE(edge.Placed());
    TiXmlDocument document;
    EXPECT_TRUE(ParseXmlText(edge.Text(), document, TIXML_DEFAULT_ENCODING));
    Write(whole);
    CXmlReader reader(path);
    std::string name;
    ASSERT_TRUE(reader.GetItemAttribute("item", "id", L"1", "name", name));
    EXPECT_EQ(Ansi(L"蓝"), name);
}

TEST_F(XmlList, DeepFilesOfEveryKindAreRefused)
{
    for (const DeepXmlKind& kind : DeepXmlKinds()) {
        SCOPED_TRACE(kind.name);
        const std::string list =
            "<?xml version=\"1.0\" encoding=\"utf-8\" ?><list><item id=\"1\" name=\"deep\">";
        Write(list + DeepXml(kind, 100000) + "</item></list>");
        EXPECT_EQ(nullptr, CXmlReader(path).CurrentElement());
        // list and item take two levels
        Write(list + DeepXml(kind, kMaxXmlNesting - 2) + "</item></list>");
        EXPECT_NE(nullptr, CXmlReader(path).CurrentElement());
        Write(list + DeepXml(kind, kMaxXmlNesting - 1) + "</item></list>");
        EXPECT_EQ(nullptr, CXmlReader(path).CurrentElement());
    }
}

TEST_F(XmlList, AFileNestedUpToTheLimitIsRead)
{
    Write(DeepList(kMaxXmlNesting - 2)); // list and item take two levels
    CXmlReader reader(path);
    ASSERT_NE(nullptr, reader.CurrentElement());
    std::string name;
    EXPECT_TRUE(reader.GetItemAttribute("item", "id", L"1", "name", name));
    EXPECT_EQ("deep", name);
    EXPECT_TRUE(reader.ReplaceJsonValue(saved, "item", "id", L"1", "jsons", "\"status\":", "2", 1));
    EXPECT_EQ("{\"status\":2}", StoredChildText(saved, "1", "jsons"));

    Write(DeepList(kMaxXmlNesting - 1));
    EXPECT_EQ(nullptr, CXmlReader(path).CurrentElement());
}

// Each change operation, on a reader of the list, saving to the list.
std::vector<std::pair<const char*, std::function<bool(CXmlReader&, const CString&)>>> ChangeOperations()
{
    return {
        {"add",
         [](CXmlReader& reader, const CString& file) {
             const XmlNodeRecord records[] = {{"nextnode", "item", L""}, {"attribute", "id", L"5"}};
             return reader.AddNodes(records, 2, file);
         }},
        {"remove",
         [](CXmlReader& reader, const CString& file) { return reader.RemoveItem(file, "item", "id", L"7"); }},
        {"rewrite",
         [](CXmlReader& reader, const CString& file) {
             return reader.ReplaceJsonValue(file, "item", "id", L"1", "jsons", "\"status\":", "3", 1);
         }},
    };
}

TEST_F(XmlList, ASaveThatCannotReachTheFileIsReportedAndChangesNothing)
{
    const struct {
        const char* name;
        DWORD attributes;
        DWORD share;          // of a handle another program holds on the list, or
        bool holdReplacement; // of the one it holds on the file a save writes first
    } cases[] = {
        {"read-only list", FILE_ATTRIBUTE_READONLY, 0, false},
        {"held open, reading shared", FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ, false},
        {"held open, nothing shared", FILE_ATTRIBUTE_NORMAL, 0, false},
        {"another save under way", FILE_ATTRIBUTE_NORMAL, 0, true},
    };
    for (const auto& c : cases) {
        for (const auto& operation : ChangeOperations()) {
            SCOPED_TRACE(testing::Message() << c.name << ", " << operation.first);
            Write(kList);
            const CString replacement = ReplacementFilePath(path);
            const CString held = c.holdReplacement ? replacement : path;
            if (c.holdReplacement)
                WriteFileBytes(held, "being written");
            CXmlReader reader(path);
            ASSERT_NE(nullptr, reader.CurrentElement());
            ASSERT_TRUE(SetFileAttributesW(path, c.attributes));
            HANDLE handle =
                c.attributes == FILE_ATTRIBUTE_READONLY
                    ? INVALID_HANDLE_VALUE
                    : CreateFileW(held, GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
            EXPECT_FALSE(operation.second(reader, path));
            if (handle != INVALID_HANDLE_VALUE)
                CloseHandle(handle);
            SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
            EXPECT_EQ(kList, ReadFileBytes(path));
            const std::vector<std::string> left =
                c.holdReplacement
                    ? std::vector<std::string>{"MyThemes.xml", ToUtf8String(replacement.Mid(
                                                                   replacement.ReverseFind(L'\\') + 1))}
                    : std::vector<std::string>{"MyThemes.xml"};
            EXPECT_EQ(left, folder.Files());
            DeleteFileW(replacement);

            // Once the list is free again the same change is saved, and
            // nothing else is left beside it.
            CXmlReader again(path);
            EXPECT_TRUE(operation.second(again, path));
            EXPECT_NE(kList, ReadFileBytes(path));
            EXPECT_NE(nullptr, CXmlReader(path).CurrentElement());
            EXPECT_EQ(std::vector<std::string>{"MyThemes.xml"}, folder.Files());
        }
    }
}

// A program killed while it saves a large list, again and again at other
// moments of its saves, leaves the list before or after that save, whole.
TEST_F(XmlList, AKillDuringASaveLeavesTheOldOrTheNewList)
{
    std::string list = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<list>\n";
    const int initial = 10000;
    for (int id = initial; id >= 1; --id) {
        const std::string n = std::to_string(id);
        list += "<item id=\"" + n + "\" name=\"条目 " + n + "\"><jsons>{\"id\":\"" + n +
                "\",\"status\":2,\"progress\":\"0\"}</jsons><file>Ravonyx\\download\\" + n +
                ".zip</file></item>\n";
    }
    Write(list + "</list>\n");

    const CString probe = ProgramBesideThisOne(L"list_save_probe.exe");
    HANDLE saved = CreateEventW(nullptr, FALSE, FALSE, L"RavonyxListSavedTest");
    ASSERT_NE(nullptr, saved);
    SetEnvironmentVariableW(L"RAVONYX_LIST_PATH", path);
    SetEnvironmentVariableW(L"RAVONYX_LIST_SAVED", L"RavonyxListSavedTest");

    int count = initial;
    for (int round = 0; round < 16; ++round) {
        SCOPED_TRACE(round);
        // Once it has saved, kill it at another moment of its work each round.
        ASSERT_TRUE(KillProbeAfterItsFirstWork(probe, saved, static_cast<DWORD>(round * 37 % 300)))
            << "the probe never saved the list, or did not end when killed";

        // Whole: it parses, and holds every item from the newest down to 1.
        TiXmlDocument document;
        const std::string text = ReadFileBytes(path);
        document.Parse(text.c_str());
        ASSERT_FALSE(document.Error()) << document.ErrorDesc() << " in a list of " << text.size() << " bytes";
        const TiXmlElement* item = document.RootElement()->FirstChildElement("item");
        ASSERT_NE(nullptr, item);
        const int newest = std::stoi(item->Attribute("id"));
        EXPECT_GT(newest, count) << "the saves of this round are lost";
        int expected = newest;
        for (; item; item = item->NextSiblingElement("item"), --expected) {
            ASSERT_EQ(std::to_string(expected), item->Attribute("id"));
            ASSERT_NE(nullptr, item->FirstChildElement("jsons"));
            ASSERT_NE(nullptr, item->FirstChildElement("file"));
        }
        EXPECT_EQ(0, expected);
        count = newest;
    }
    CloseHandle(saved);
}

TEST_F(XmlList, FindElementSearchesDepthFirstFromTheStart)
{
    Write(kList);
    CXmlReader reader(path);
    TiXmlElement* root = reader.CurrentElement();
    ASSERT_NE(nullptr, root);
    TiXmlElement* found = nullptr;
    EXPECT_TRUE(reader.FindElement(root, "list", found));
    EXPECT_EQ(root, found);

    EXPECT_TRUE(reader.FindElement(root, "file", found));
    EXPECT_STREQ("Ravonyx\\download\\12.zip", found->GetText());

    TiXmlElement* second = root->FirstChildElement()->NextSiblingElement();
    EXPECT_TRUE(reader.FindElement(second, "file", found));
    EXPECT_STREQ("Ravonyx\\download\\1.zip", found->GetText());

    found = root;
    EXPECT_FALSE(reader.FindElement(root, "lis", found));
    EXPECT_FALSE(reader.FindElement(root, "items", found));
    EXPECT_FALSE(reader.FindElement(nullptr, "list", found));
    EXPECT_EQ(root, found);
}

TEST_F(XmlList, FindElementWithAttributeNeedsTheExactValue)
{
    Write(kList);
    CXmlReader reader(path);
    TiXmlElement* root = reader.CurrentElement();
    TiXmlElement* found = nullptr;
    EXPECT_TRUE(reader.FindElementWithAttribute(root, "item", "id", "1", found));
    EXPECT_STREQ("one", found->Attribute("name"));
    EXPECT_TRUE(reader.FindElementWithAttribute(root, "item", "id", "12", found));
    EXPECT_STREQ("蓝色 한", found->Attribute("name")); // the first of two
    EXPECT_TRUE(reader.FindElementWithAttribute(root, "item", "name", "seven", found));

    found = nullptr;
    EXPECT_FALSE(reader.FindElementWithAttribute(root, "item", "id", "", found));
    EXPECT_FALSE(reader.FindElementWithAttribute(root, "item", "id", "7 ", found));
    EXPECT_FALSE(reader.FindElementWithAttribute(root, "item", "ID", "7", found));
    EXPECT_FALSE(reader.FindElementWithAttribute(root, "jsons", "id", "7", found));
    EXPECT_EQ(nullptr, found);
}

TEST_F(XmlList, FindSiblingElementStaysOnItsLevel)
{
    Write(kList);
    CXmlReader reader(path);
    TiXmlElement* first = reader.CurrentElement()->FirstChildElement();
    TiXmlElement* found = nullptr;
    EXPECT_TRUE(reader.FindSiblingElement(first, "item", found));
    EXPECT_EQ(first, found);
    // "jsons" only occurs inside the items, never beside them.
    EXPECT_FALSE(reader.FindSiblingElement(first, "jsons", found));
    EXPECT_TRUE(reader.FindSiblingElement(first->FirstChildElement(), "file", found));
    EXPECT_STREQ("Ravonyx\\download\\12.zip", found->GetText());
}

TEST_F(XmlList, MapItemStatusWalksTheItems)
{
    Write(kList);
    CXmlReader reader(path);
    std::map<std::string, std::string> map;
    EXPECT_TRUE(reader.MapItemStatus("jsons", "\"status\":", "item", "id", map));
    const std::map<std::string, std::string> expected = {{"12", "1"}, {"1", "2"}, {"7", "3"}};
    EXPECT_EQ(expected, map); // the second "12" keeps the first one's value
}

TEST_F(XmlList, MapItemStatusStopsAtATextWithoutTheKeyAndNeverReadsPastOne)
{
    Write("<list>"
          "<item id=\"1\"><jsons>{\"status\":1}</jsons></item>"
          "<item id=\"2\"><jsons>{\"a\":1,\"status\":</jsons></item>"
          "<item id=\"3\"><jsons>{\"status\":3}</jsons></item>"
          "<item id=\"4\"><jsons>{\"nothing\":0}</jsons></item>"
          "<item id=\"5\"><jsons>{\"status\":5}</jsons></item>"
          "</list>");
    CXmlReader reader(path);
    std::map<std::string, std::string> map;
    EXPECT_TRUE(reader.MapItemStatus("jsons", "\"status\":", "item", "id", map));
    const std::map<std::string, std::string> expected = {{"1", "1"}, {"2", ""}, {"3", "3"}};
    EXPECT_EQ(expected, map);
}

TEST_F(XmlList, ReadsTextsAndAttributesInTheAnsiCodePage)
{
    Write(kList);
    CXmlReader reader(path);
    std::string text;
    EXPECT_TRUE(reader.GetItemChildText("item", "id", L"1", "file", text));
    EXPECT_EQ("Ravonyx\\download\\1.zip", text);
    EXPECT_TRUE(reader.GetItemChildText("item", "id", L"12", "jsons", text));
    EXPECT_EQ(Ansi(L"{\"id\":\"12\",\"title\":\"蓝色 한 😀\",\"status\":1,\"progress\":\"45\"}"), text);
    EXPECT_TRUE(reader.GetItemAttribute("item", "id", L"12", "name", text));
    EXPECT_EQ(Ansi(L"蓝色 한"), text);
    EXPECT_NE(std::string::npos, text.find(Ansi(L"蓝色")));

    text = "unchanged";
    EXPECT_FALSE(reader.GetItemChildText("item", "id", L"99", "file", text));
    EXPECT_FALSE(reader.GetItemChildText("item", "id", L"1", "missing", text));
    EXPECT_FALSE(reader.GetItemAttribute("item", "id", L"99", "name", text));
    EXPECT_FALSE(reader.GetItemAttribute("item", "id", L"1", "title", text));
    EXPECT_EQ("unchanged", text);
}

TEST_F(XmlList, ItemWithoutChildrenHasNoChildText)
{
    Write("<list><item id=\"1\" name=\"bare\" /><item id=\"2\"><file>x</file></item></list>");
    CXmlReader reader(path);
    std::string text = "unchanged";
    EXPECT_FALSE(reader.GetItemChildText("item", "id", L"1", "file", text));
    EXPECT_EQ("unchanged", text);
    EXPECT_TRUE(reader.GetItemAttribute("item", "id", L"1", "name", text));
    EXPECT_EQ("bare", text);
}

TEST_F(XmlList, CountAndCollectWithAndWithoutFilter)
{
    std::string list = "<list>";
    for (int i = 1; i <= 5; ++i) {
        list += "<item id=\"" + std::to_string(i) + "\"><jsons>{\"n\":" + std::to_string(i) +
                (i % 2 ? ",\"kind\":\"odd\"" : "") + "}</jsons><file>f</file></item>";
    }
    Write(list + "</list>");
    CXmlReader reader(path);
    EXPECT_EQ(5, reader.CountItems("jsons", ""));
    EXPECT_EQ(3, reader.CountItems("jsons", "odd"));
    EXPECT_EQ(0, reader.CountItems("jsons", "even"));
    EXPECT_EQ(5, reader.CountItems("file", ""));
    EXPECT_EQ(1, reader.CountItems("list", ""));

    std::string out = "kept,";
    EXPECT_TRUE(reader.CollectItemTexts(out, "jsons", 3, 4, ""));
    EXPECT_EQ("kept,{\"n\":3,\"kind\":\"odd\"},{\"n\":4},", out);

    out.clear();
    EXPECT_TRUE(reader.CollectItemTexts(out, "jsons", 2, 10, "odd"));
    EXPECT_EQ("{\"n\":3,\"kind\":\"odd\"},{\"n\":5,\"kind\":\"odd\"},", out);

    out.clear();
    EXPECT_TRUE(reader.CollectItemTexts(out, "jsons", 6, 10, ""));
    EXPECT_EQ("", out);
}

TEST_F(XmlList, RemoveItemTakesTheFirstMatchAndSaves)
{
    Write(kList);
    {
        CXmlReader reader(path);
        EXPECT_FALSE(reader.RemoveItem(saved, "item", "id", L"99"));
        EXPECT_FALSE(FileExists(saved));
        EXPECT_TRUE(reader.RemoveItem(path, "item", "id", L"12"));
    }
    CXmlReader reader(path);
    std::string name;
    EXPECT_TRUE(reader.GetItemAttribute("item", "id", L"12", "name", name));
    EXPECT_EQ("duplicate", name);
    EXPECT_EQ(3, reader.CountItems("jsons", ""));
}

TEST_F(XmlList, RemovingTheRootItselfEmptiesTheDocument)
{
    Write("<item id=\"1\"><jsons>{}</jsons></item>");
    CXmlReader reader(path);
    EXPECT_TRUE(reader.RemoveItem(saved, "item", "id", L"1"));
    EXPECT_EQ(nullptr, reader.CurrentElement());
    EXPECT_EQ(std::string::npos, ReadFileBytes(saved).find("item"));
}

TEST_F(XmlList, ReplaceStatusChangesOneDigitAndKeepsEveryOtherCharacter)
{
    Write(kList);
    const std::string before = StoredChildText(path, "12", "jsons");
    {
        CXmlReader reader(path);
        EXPECT_TRUE(reader.ReplaceJsonValue(path, "item", "id", L"12", "jsons", "\"status\":", "2", 1));
    }
    std::string expected = before;
    expected.replace(expected.find("\"status\":1"), 10, "\"status\":2");
    EXPECT_EQ(expected, StoredChildText(path, "12", "jsons"));
    // The characters outside the ANSI code page are still there, in UTF-8.
    EXPECT_NE(std::string::npos, ReadFileBytes(path).find("蓝色 한 😀"));
    // Only the first of the two items with that id changed.
    EXPECT_NE(std::string::npos, ReadFileBytes(path).find("&quot;status&quot;:5}"));
}

TEST_F(XmlList, ReplaceProgressGoesUpToTheLastBrace)
{
    Write("<list>"
          "<item id=\"1\"><jsons>{\"info\":{\"a\":1},\"progress\":\"45\"}</jsons></item>"
          "<item id=\"2\"><jsons>{\"progress\":\"45\",\"x\":{\"b\":2}}</jsons></item>"
          "<item id=\"3\"><jsons>\"progress\":\"45\" no brace</jsons></item>"
          "<item id=\"4\"><jsons>{\"a\":1} \"progress\":\"45\"</jsons></item>"
          "</list>");
    {
        CXmlReader reader(path);
        for (const wchar_t* id : {L"1", L"2", L"3", L"4"})
            EXPECT_TRUE(
                reader.ReplaceJsonValue(path, "item", "id", id, "jsons", "\"progress\":", "\"80\"", 2));
    }
    EXPECT_EQ("{\"info\":{\"a\":1},\"progress\":\"80\"}", StoredChildText(path, "1", "jsons"));
    EXPECT_EQ("{\"progress\":\"80\"}", StoredChildText(path, "2", "jsons"));
    EXPECT_EQ("\"progress\":\"80\"", StoredChildText(path, "3", "jsons"));
    EXPECT_EQ("{\"a\":1} \"progress\":\"80\"", StoredChildText(path, "4", "jsons"));
}

TEST_F(XmlList, ReplaceModesWholeTextAndNone)
{
    Write("<list><item id=\"1\"><jsons>{\"status\":1,\"t\":\"한\"}</jsons></item></list>");
    {
        CXmlReader reader(path);
        EXPECT_TRUE(reader.ReplaceJsonValue(saved, "item", "id", L"1", "jsons", "\"status\":", "x", 9));
    }
    EXPECT_EQ("{\"status\":1,\"t\":\"한\"}", StoredChildText(saved, "1", "jsons"));
    {
        CXmlReader reader(path);
        EXPECT_TRUE(reader.ReplaceJsonValue(saved, "item", "id", L"1", "jsons",
                                            "\"status\":", Ansi(L"{\"新\":1}"), 3));
    }
    EXPECT_EQ("{\"新\":1}", StoredChildText(saved, "1", "jsons"));
}

TEST_F(XmlList, ReplaceAtTheEndOrOverAWideCharacter)
{
    Write("<list>"
          "<item id=\"1\"><jsons>{\"a\":1,\"status\":</jsons></item>"
          "<item id=\"2\"><jsons>{\"status\":한,\"b\":2}</jsons></item>"
          "</list>");
    {
        CXmlReader reader(path);
        EXPECT_TRUE(reader.ReplaceJsonValue(path, "item", "id", L"1", "jsons", "\"status\":", "3", 1));
        EXPECT_TRUE(reader.ReplaceJsonValue(path, "item", "id", L"2", "jsons", "\"status\":", "3", 1));
    }
    EXPECT_EQ("{\"a\":1,\"status\":3", StoredChildText(path, "1", "jsons"));
    EXPECT_EQ("{\"status\":3,\"b\":2}", StoredChildText(path, "2", "jsons"));
}

TEST_F(XmlList, ReplaceWithoutTheKeyOrTheItemSavesNothing)
{
    Write(kList);
    CXmlReader reader(path);
    EXPECT_FALSE(reader.ReplaceJsonValue(saved, "item", "id", L"7", "jsons", "\"progress\":", "\"1\"", 2));
    EXPECT_FALSE(reader.ReplaceJsonValue(saved, "item", "id", L"99", "jsons", "\"status\":", "2", 1));
    EXPECT_FALSE(reader.ReplaceJsonValue(saved, "item", "id", L"12", "title", "\"status\":", "2", 1));
    EXPECT_FALSE(FileExists(saved));
}

std::vector<XmlNodeRecord> NewItem(const wchar_t* id, const wchar_t* name, const wchar_t* jsons)
{
    return {{"nextnode", "item", L""},
            {"attribute", "id", id},
            {"attribute", "name", name},
            {"nextnode", "jsons", jsons},
            {"subnode", "file", CString(L"Ravonyx\\download\\") + id + L".zip"}};
}

TEST_F(XmlList, AddNodesBuildsAnItemAtTheTop)
{
    Write(kList);
    {
        CXmlReader reader(path);
        const auto records = NewItem(L"30", L"新 한 😀", L"{\"id\":\"30\",\"status\":1}");
        EXPECT_TRUE(reader.AddNodes(records.data(), static_cast<int>(records.size()), path));
    }
    CXmlReader reader(path);
    TiXmlElement* first = reader.CurrentElement()->FirstChildElement();
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ("item", first->Value());
    EXPECT_STREQ("30", first->Attribute("id"));
    EXPECT_STREQ("新 한 😀", first->Attribute("name"));
    TiXmlElement* jsons = first->FirstChildElement();
    ASSERT_NE(nullptr, jsons);
    EXPECT_STREQ("jsons", jsons->Value());
    EXPECT_STREQ("{\"id\":\"30\",\"status\":1}", jsons->GetText());
    TiXmlElement* file = jsons->NextSiblingElement();
    ASSERT_NE(nullptr, file);
    EXPECT_STREQ("file", file->Value());
    EXPECT_STREQ("Ravonyx\\download\\30.zip", file->GetText());
    EXPECT_EQ(nullptr, file->NextSiblingElement());
    EXPECT_STREQ("12", first->NextSiblingElement()->Attribute("id"));
    EXPECT_EQ(5, reader.CountItems("jsons", ""));
}

TEST_F(XmlList, AddNodesToAnEmptyRootMakesItsOnlyChild)
{
    Write("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<list />\n");
    {
        CXmlReader reader(path);
        const auto records = NewItem(L"5", L"five", L"{\"status\":1}");
        EXPECT_TRUE(reader.AddNodes(records.data(), static_cast<int>(records.size()), path));
    }
    CXmlReader reader(path);
    TiXmlElement* root = reader.CurrentElement();
    ASSERT_NE(nullptr, root->FirstChildElement());
    EXPECT_STREQ("5", root->FirstChildElement()->Attribute("id"));
    EXPECT_EQ(nullptr, root->FirstChildElement()->NextSiblingElement());
    std::map<std::string, std::string> map;
    EXPECT_TRUE(reader.MapItemStatus("jsons", "\"status\":", "item", "id", map));
    EXPECT_EQ((std::map<std::string, std::string>{{"5", "1"}}), map);
}

TEST_F(XmlList, AddNodesEdgeRecords)
{
    Write(kList);
    CXmlReader reader(path);
    // No records: the document is saved as it is.
    EXPECT_TRUE(reader.AddNodes(nullptr, 0, saved));
    {
        CXmlReader copy(saved);
        EXPECT_EQ(4, copy.CountItems("jsons", ""));
    }
    // An attribute record on the root replaces the attribute of that name.
    const XmlNodeRecord attributes[] = {{"attribute", "v", L"1"}, {"attribute", "v", L"2"}};
    EXPECT_TRUE(reader.AddNodes(attributes, 2, saved));
    EXPECT_STREQ("2", reader.CurrentElement()->Attribute("v"));

    // A sibling of the root cannot be placed: nothing is added or saved.
    DeleteFileW(saved);
    const XmlNodeRecord sibling[] = {{"subnode", "file", L"x"}, {"nextnode", "item", L""}};
    EXPECT_FALSE(reader.AddNodes(sibling, 2, saved));
    EXPECT_FALSE(FileExists(saved));
    EXPECT_EQ(nullptr, reader.CurrentElement()->NextSiblingElement());
}

TEST_F(XmlList, FilesKeepTheirFormAndPathsNeedNoAnsiName)
{
    // A byte order mark and a folder name outside code page 936.
    CTempFolder other;
    const CString korean = other / L"목록";
    ASSERT_TRUE(CreateDirectoryW(korean, nullptr));
    const CString file = korean + L"\\MyThemes.xml";
    WriteFileBytes(file, std::string("\xEF\xBB\xBF") + kList);
    {
        CXmlReader reader(file);
        ASSERT_NE(nullptr, reader.CurrentElement());
        EXPECT_TRUE(reader.ReplaceJsonValue(file, "item", "id", L"1", "jsons", "\"status\":", "3", 1));
    }
    const std::string text = ReadFileBytes(file);
    EXPECT_EQ(0u, text.find("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" ?>"));
    EXPECT_NE(std::string::npos, text.find("蓝色 한 😀"));
    EXPECT_NE(std::string::npos, text.find("\r\n")); // saved in text mode, as before
    EXPECT_EQ("{\"id\":\"1\",\"status\":3,\"info\":{\"a\":1}}", StoredChildText(file, "1", "jsons"));
}

TEST(XmlText, Conversions)
{
    EXPECT_EQ(CString(L"蓝色").ToAnsi(), Utf8ToAnsiString("蓝色"));
    EXPECT_EQ("abc", Utf8ToAnsiString("abc\xF0"));
    EXPECT_EQ("蓝色 한 😀", ToUtf8String(L"蓝色 한 😀"));
    EXPECT_EQ("\xC0\xB6\xC9\xAB", ToAnsiString(L"蓝色")); // code page 936
    EXPECT_EQ("蓝色", AnsiToUtf8String("\xC0\xB6\xC9\xAB"));
}

} // namespace
