// Documents nested too deeply to parse safely: the scan that finds the
// depth, and every skin loader refusing such a text as malformed, before
// the parser (which descends once per level) can run out of stack.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/XmlNesting.h"
#include "skin/SkDialogView.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "skin/SkXml.h"
#include "tests/support/DeepXml.h"
#include "tests/support/PageEdge.h"

namespace {

// levels elements named tag, one inside the other, between before and after.
std::string Nested(const std::string& before, int levels, const std::string& after, const char* tag = "dlg")
{
    std::string text = before;
    for (int i = 0; i < levels; ++i)
        text += std::string("<") + tag + ">";
    for (int i = 0; i < levels; ++i)
        text += std::string("</") + tag + ">";
    return text + after;
}

// The level of the deepest element of what TinyXML built (the root is level
// 1), walked without recursion.
int BuiltDepth(const TiXmlNode& document)
{
    int deepest = 0;
    std::vector<std::pair<const TiXmlNode*, int>> open{{&document, 0}};
    while (!open.empty()) {
        const auto [node, depth] = open.back();
        open.pop_back();
        for (const TiXmlElement* child = node->FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            deepest = std::max(deepest, depth + 1);
            open.emplace_back(child, depth + 1);
        }
    }
    return deepest;
}

// Documents mixing every kind of markup, well formed or not, some nested
// hundreds deep: elements with names of any first byte, attributes whose
// quoted values hold markup, declarations, comments, CDATA, DOCTYPE, stray
// "<" and ">", unterminated markup, line ends and bytes 0x7F-0xFF anywhere.
class CDocumentMaker {
public:
    explicit CDocumentMaker(unsigned seed) : m_random(seed) {}

    std::string Make()
    {
        m_open.clear();
        // Deep documents nest hundreds of levels and rarely break; the others
        // stay shallow and break often.
        const bool deep = Chance(0.25);
        m_hostile = !deep ? Uniform(0, 12) / 100.0 : Chance(0.5) ? 0.0 : Uniform(1, 10) / 10000.0;
        m_openShare = deep ? 65 : 45;
        std::string text = Chance(0.1) ? "\xEF\xBB\xBF" : "";
        if (Chance(0.3))
            text += Declaration();
        const int pieces = deep ? Uniform(500, 1500) : Uniform(1, 200);
        for (int i = 0; i < pieces; ++i)
            text += Piece();
        if (Chance(0.7)) {
            while (!m_open.empty()) {
                text += "</" + m_open.back() + ">";
                m_open.pop_back();
            }
        }
        return text;
    }

private:
    int Uniform(int from, int to) { return std::uniform_int_distribution<int>(from, to)(m_random); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }
    template <size_t N> const char* Pick(const char* const (&choices)[N])
    {
        return choices[Uniform(0, static_cast<int>(N) - 1)];
    }

    std::string Space()
    {
        static const char* const spaces[] = {"", "", " ", "\t", "\n", "\r", "\r\n", "\v", "\f", "  "};
        return Pick(spaces);
    }
    std::string Name()
    {
        static const char* const names[] = {
            "a", "b", "_", "\x7F", "\x7Fq", "\x80", "\xE4\xB8\xBB", "\xFF-x", "A:b.c", "\xC3", "z9"};
        // A name after white space or a byte-order mark: an element (of
        // another name, in UTF-8) or no element at all.
        if (Chance(m_hostile))
            return std::string(Chance(0.5) ? " " : "\xEF\xBB\xBF") + Pick(names);
        return Pick(names);
    }
    // Text that may look like markup; with lead bytes of UTF-8 sequences
    // that take the next bytes along, a closing quote among them.
    std::string Stuff()
    {
        static const char* const bits[] = {"x",     " ",    "<",    ">",  "</a>", "/>",  "&amp;",
                                           "&#60;", "&",    "'",    "\"", "?>",   "-->", "]]>",
                                           "<a>",   "\x7F", "\xFF", "=",  "\x80"};
        static const char* const leads[] = {"\xC3", "\xE0", "\xF0", "\xF4\x80"};
        std::string text;
        for (int n = Uniform(0, 4); n > 0; --n)
            text += Chance(m_hostile) ? Pick(leads) : Pick(bits);
        return text;
    }
    // Stuff without the text that would end the markup it stands in, but
    // now and then.
    std::string StuffWithout(const std::string& end)
    {
        std::string text = Stuff();
        if (Chance(m_hostile))
            return text;
        for (size_t at; (at = text.find(end)) != std::string::npos;)
            text.erase(at, end.size());
        return text;
    }
    std::string Quoted()
    {
        const char quote = Chance(0.5) ? '"' : '\'';
        std::string value = Stuff();
        value.erase(std::remove(value.begin(), value.end(), quote), value.end());
        if (Chance(m_hostile))
            value += quote; // an early end
        return quote + value + quote;
    }
    std::string Attributes()
    {
        static const char* const names[] = {"x", "y", "\x7F", "version", "_"};
        std::string text;
        int first = Uniform(0, 4);
        for (int n = Uniform(0, 2); n > 0; --n) {
            text += " ";
            text += names[first];
            first = Chance(m_hostile) ? first : (first + 1) % 5; // a second of a name, now and then
            if (Chance(m_hostile))
                continue; // no value at all
            text += Space() + "=" + Space();
            text += Chance(m_hostile) ? std::string("v") : Quoted();
        }
        return text;
    }
    std::string Declaration()
    {
        static const char* const starts[] = {"<?xml", "<?XML", "<?xmlx", "<?xml"};
        static const char* const encodings[] = {"UTF-8", "utf8", "gbk", "", "UTF-8x"};
        std::string text = Pick(starts);
        text += " version=" + Quoted() + " encoding=\"" + Pick(encodings) + "\"";
        if (Chance(0.3))
            text += " standalone=" + Quoted();
        return text + (Chance(m_hostile) ? "" : "?>");
    }

    std::string Piece()
    {
        if (!Chance(m_hostile * 3)) {
            // Outside the root only markup goes on; text would end the parse.
            const int roll = m_open.empty() && !Chance(m_hostile) ? 0 : Uniform(0, 99);
            if (roll < m_openShare) {
                const std::string name = Name();
                std::string text = "<" + name + Attributes() + Space();
                if (Chance(0.1))
                    return text + (Chance(m_hostile) ? "/ >" : "/>");
                m_open.push_back(name);
                return text + ">";
            }
            if (roll < m_openShare + 20) {
                if (m_open.empty())
                    return "text";
                std::string name = m_open.back();
                m_open.pop_back();
                return "</" + (Chance(m_hostile) ? Name() : name) + Space() + ">";
            }
            switch (Uniform(0, 5)) {
            case 0:
                return Declaration();
            case 1:
                return "<!--" + StuffWithout("-->") + (Chance(m_hostile) ? "" : "-->");
            case 2:
                return "<![CDATA[" + StuffWithout("]]>") + (Chance(m_hostile) ? "" : "]]>");
            case 3:
                return "<!DOCTYPE x [<!ELEMENT x ANY>]>";
            case 4:
                return "<?pi " + StuffWithout(">") + "?>";
            default:
                return StuffWithout("<");
            }
        }
        static const char* const strays[] = {"<", ">",    "< a>",     "<1>",  "<>",     "</>", "<!", "<?",
                                             "&", "\x7F", "\x90\xA0", "\xFE", "<\x01>", "\r",  "<a", "</"};
        return Pick(strays);
    }

    std::mt19937 m_random;
    std::vector<std::string> m_open;
    double m_hostile = 0;
    int m_openShare = 45; // in percent of the pieces that are not stray
};

struct Verdicts {
    int documents = 0;
    int deeperThanTheLimit = 0;
    std::vector<std::string> failures;
};

// Parses each generated document with TinyXML and sets the scan's verdicts
// against the depth TinyXML built. Runs on a thread with a large stack: the
// parser descends (and its documents are destroyed) once per level.
DWORD WINAPI CompareWithTheParser(void* parameter)
{
    Verdicts& verdicts = *static_cast<Verdicts*>(parameter);
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        const std::string text = CDocumentMaker(seed).Make();
        for (const TiXmlEncoding encoding : {TIXML_ENCODING_UNKNOWN, TIXML_ENCODING_UTF8}) {
            TiXmlDocument document;
            document.Parse(text.c_str(), nullptr, encoding);
            const int depth = BuiltDepth(document);
            ++verdicts.documents;
            verdicts.deeperThanTheLimit += depth > kMaxXmlNesting ? 1 : 0;
            for (const int limit : {depth - 1, depth, kMaxXmlNesting}) {
                if (limit < 0 || XmlNestingWithin(text, limit, encoding) == (depth <= limit))
                    continue;
                if (verdicts.failures.size() < 5) {
                    std::string shown;
                    for (const unsigned char c : text.substr(0, 300)) {
                        char hex[8];
                        std::snprintf(hex, sizeof(hex), c < 0x20 || c >= 0x7F ? "\\x%02X" : "%c", c);
                        shown += hex;
                    }
                    verdicts.failures.push_back("seed " + std::to_string(seed) + ", encoding " +
                                                std::to_string(encoding) + ", depth " +
                                                std::to_string(depth) + ", limit " + std::to_string(limit) +
                                                ": " + shown);
                }
            }
        }
    }
    return 0;
}

} // namespace

TEST(XmlNestingTest, TheScanAgreesWithTheParserOnEveryGeneratedDocument)
{
    Verdicts verdicts;
    HANDLE thread = CreateThread(nullptr, 256 << 20, CompareWithTheParser, &verdicts,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(2000, verdicts.documents);
    // The documents reach past the limit often enough to try it.
    EXPECT_LT(50, verdicts.deeperThanTheLimit);
    for (const std::string& failure : verdicts.failures)
        ADD_FAILURE() << failure;
}

TEST(XmlNestingTest, TheScanCountsElementLevelsOnly)
{
    struct Case {
        const char* name;
        std::string text;
        int deepest; // the smallest limit the text is within
    };
    const Case cases[] = {
        {"empty text", "", 0},
        {"one element", "<a/>", 1},
        {"an element with text", "<a>x</a>", 1},
        {"siblings do not add up", "<a><b/><b></b><b>x</b></a>", 2},
        {"three levels", "<?xml version=\"1.0\"?><a><b><c/></b></a>", 3},
        {"comments, CDATA and declarations are no elements",
         "<!DOCTYPE a><a><!-- <b><b><b> --><![CDATA[<b><b><b>]]><?pi <b>?></a>", 1},
        {"quoted values may hold markup", "<a x=\"<b><b>\" y = '/>'><c/></a>", 2},
        {"a declaration's quoted values may hold end tags",
         "<a><?xml version='>' standalone='</a>'?><b/></a>", 2},
        {"a quote without = ends the parse", "<a x'><b>'</b></a>", 1},
        {"not an element name", "<a>< b><1><b/></a>", 2},
        {"a name may begin with byte 0x7F", "<\x7F><\x7F/></\x7F>", 2},
        {"the parse ends at a wrong end tag", "<a><b></a><c><d/></c>", 2},
        {"Chinese names", "<主><次>文</次></主>", 2},
        {"unclosed elements count", "<a><b><c>", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(XmlNestingWithin(c.text, c.deepest));
        if (c.deepest > 0) {
            EXPECT_FALSE(XmlNestingWithin(c.text, c.deepest - 1));
        }
    }
    EXPECT_TRUE(XmlNestingWithin(Nested("", kMaxXmlNesting, "")));
    EXPECT_FALSE(XmlNestingWithin(Nested("", kMaxXmlNesting + 1, "")));
    EXPECT_EQ(256, kMaxXmlNesting);
}

// Each loader with a text whose elements nest 10,000 levels deep (refused),
// and with one just within the limit (taken).
TEST(XmlNestingTest, EverySkinLoaderRefusesATextNestedTooDeeply)
{
    struct Loader {
        const char* name;
        std::function<bool(int levels)> load; // levels added inside the usual root
    };
    CSkDialogView view;
    const Loader loaders[] = {
        {"parse",
         [](int levels) {
             TiXmlDocument doc;
             return ParseSkinXml(Nested("", levels, ""), doc);
         }},
        {"layout",
         [&view](int levels) {
             return view.SetLayoutXml(Nested("<layer><body>", levels, "</body></layer>")) != FALSE;
         }},
        {"panel content",
         [&view](int levels) {
             if (!view.SetLayoutXml(R"(<layer><body><dlg id="5"/></body></layer>)"))
                 return false;
             return view.SetPanelXml(5, Nested("", levels, "")) != FALSE;
         }},
        {"skins",
         [](int levels) {
             return SkSkinPool::Instance().LoadXml(Nested("<skins>", levels, "</skins>", "imagelist"));
         }},
        {"styles",
         [](int levels) {
             return SkStylePool::Instance().LoadXml(Nested("<style>", levels, "</style>", "class"));
         }},
        {"string table",
         [](int levels) {
             return SkString::Instance().LoadXml(
                 Nested("<string><s id=\"9\">x</s>", levels, "</string>", "s"));
         }},
    };
    for (const Loader& loader : loaders) {
        SCOPED_TRACE(loader.name);
        EXPECT_FALSE(loader.load(10000));
        // The root (and the layout's body) take their own levels.
        EXPECT_TRUE(loader.load(kMaxXmlNesting - 2));
    }
    // The refused panel text left the panel as it was.
    ASSERT_TRUE(view.SetLayoutXml(R"(<layer><body><dlg id="5"><text id="6"/></dlg></body></layer>)"));
    EXPECT_FALSE(view.SetPanelXml(5, Nested("", 10000, "")));
    EXPECT_TRUE(view.FindItem(6));
}

// Every way of writing a level counts: a text nested one level too deep is
// refused however its levels are written.
TEST(XmlNestingTest, DeepTextsOfEveryKindAreRefused)
{
    CSkDialogView view;
    for (const DeepXmlKind& kind : DeepXmlKinds()) {
        SCOPED_TRACE(kind.name);
        TiXmlDocument within;
        EXPECT_TRUE(ParseSkinXml(DeepXml(kind, kMaxXmlNesting), within));
        for (const int levels : {kMaxXmlNesting + 1, 100000}) {
            TiXmlDocument doc;
            EXPECT_FALSE(ParseSkinXml(DeepXml(kind, levels), doc)) << levels;
            EXPECT_FALSE(view.SetLayoutXml("<layer><body>" + DeepXml(kind, levels - 2) + "</body></layer>"))
                << levels;
        }
    }
}

// Texts that end inside a UTF-8 sequence, each placed so that the byte after
// its terminator cannot be read: the scan and the skin parser read nothing
// past the end (a read there faults), and refuse the unfinished text.
TEST(XmlNestingTest, ATextCutInsideAUtf8SequenceIsReadNoFurtherThanItsEnd)
{
    const char* const cut[] = {
        "<a x='\xF0",     "<a>\xE4",         "\xEF\xBB\xBF<a x='\xF0", "\xEF\xBB\xBF<a>\xE4",
        "<a x='\xE4\xB8", "<a>\xF0\x9F\x98", "<a><b x=\"1\"/>\xE4",    "<\xF0",
    };
    for (const char* text : cut) {
        SCOPED_TRACE(::testing::PrintToString(std::string(text)));
        CTextAtPageEdge edge(text);
        ASSERT_TRUE(edge.Placed());
        EXPECT_TRUE(XmlNestingWithin(edge.Text(), kMaxXmlNesting, TIXML_ENCODING_UTF8));
        TiXmlDocument doc;
        EXPECT_FALSE(ParseSkinXml(edge.Text(), doc));
    }
    // A text that ends with a whole sequence reads as before.
    CTextAtPageEdge whole("<a x='\xE4\xB8\xAD'>\xF0\x9F\x98\x80</a>");
    ASSERT_TRUE(whole.Placed());
    TiXmlDocument doc;
    ASSERT_TRUE(ParseSkinXml(whole.Text(), doc));
    EXPECT_STREQ("\xE4\xB8\xAD", RootElement(doc)->Attribute("x"));
    EXPECT_STREQ("\xF0\x9F\x98\x80", RootElement(doc)->GetText());
}
