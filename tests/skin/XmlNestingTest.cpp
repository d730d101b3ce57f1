// Documents nested too deeply to parse safely: the scan that finds the
// depth, and every skin loader refusing such a text as malformed, before
// the parser (which descends once per level) can run out of stack.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/XmlNesting.h"
#include "skin/SkDialogView.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "skin/SkXml.h"

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

} // namespace

TEST(XmlNestingTest, TheScanCountsElementLevelsOnly)
{
    struct Case {
        const char* name;
        std::string text;
        int deepest; // the smallest limit the text is within
    };
    const Case cases[] = {
        {"empty text", "", 0},
        {"one element", "<a/>", 0},
        {"an element with text", "<a>x</a>", 1},
        {"siblings do not add up", "<a><b/><b></b><b>x</b></a>", 2},
        {"three levels", "<?xml version=\"1.0\"?><a><b><c/></b></a>", 2},
        {"comments, CDATA and declarations are no elements",
         "<!DOCTYPE a><a><!-- <b><b><b> --><![CDATA[<b><b><b>]]><?pi <b>?></a>", 1},
        {"quoted values may hold markup", "<a x=\"<b><b>\" y = '/>'><c/></a>", 1},
        {"a quote without = opens no value", "<a x'><b>'</b></a>", 2},
        {"not an element name", "<a>< b><1><b/></a>", 1},
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
