// The resources of Ravonyx.exe, linked into this test as into the program:
// every skin and style that the program's dialogs may name is there, every
// name a layout uses resolves, every image a skin draws exists with the size
// its skin expects, and menus, icons and the version are as the program reads
// them.
#include <gtest/gtest.h>

#include "skin/SkBmpPool.h"
#include "skin/SkPngPool.h"
#include "skin/SkResource.h"
#include "skin/SkSkinBase.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"

#include <gdiplus.h>
#include <tinyxml.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

std::string XmlResource(UINT id)
{
    std::string bytes;
    EXPECT_TRUE(LoadResourceData(id, L"xml", bytes)) << "xml resource " << id;
    return bytes;
}

// Parses an XML resource; a failure names the resource and TinyXML's error.
void ParseResource(UINT id, TiXmlDocument& document)
{
    document.Parse(XmlResource(id).c_str(), nullptr, TIXML_ENCODING_UTF8);
    ASSERT_FALSE(document.Error()) << "xml resource " << id << ": " << document.ErrorDesc() << " at row "
                                   << document.ErrorRow();
}

// Element name -> the names given by the "name" attributes under the root.
std::map<std::string, std::set<std::string>> NamesByTag(UINT id)
{
    TiXmlDocument document;
    ParseResource(id, document);
    std::map<std::string, std::set<std::string>> names;
    for (const TiXmlElement* e = document.RootElement()->FirstChildElement(); e;
         e = e->NextSiblingElement()) {
        if (const char* name = e->Attribute("name"))
            names[e->Value()].insert(name);
    }
    return names;
}

std::set<std::string> AllNames(UINT id)
{
    std::set<std::string> all;
    for (const auto& entry : NamesByTag(id))
        all.insert(entry.second.begin(), entry.second.end());
    return all;
}

class ResourceSet : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The program's start-up order.
        ASSERT_TRUE(LoadStringTable());
        ASSERT_TRUE(LoadSkins());
        ASSERT_TRUE(LoadStyles());
    }
};

// The skins every dialog of the program may name, by kind.
const std::map<std::string, std::vector<std::string>> kShippedSkins = {
    {"imgframe",
     {"panel", "panelgray", "panelwhite", "panelffffff", "tabpage", "mainbgbody", "installedbody", "pophead",
      "popbody", "popfoot", "setuphead", "setupbody", "setupfoot", "msgadbody", "msgadfoot", "fbhead",
      "fbbody", "fbfoot"}},
    {"imghorzex",
     {"mainbghead", "mainbgfoot", "btnexamrightbg", "tableft", "aboutbody", "msgadhead", "sethomebody",
      "aboutbgimg"}},
    {"button", {"uglybtn", "normalbtn", "yesbtn", "nobtn", "dlgborder"}},
    {"imglst", {"tabmain", "tableftsplitter"}},
    {"png",
     {"logomodule", "headbgimg", "logobtn", "logo2btn", "closebtn", "closeonlybtn", "maxbtn", "minbtn",
      "restorebtn", "menubtn", "feedbackbtn", "rbclosebtn", "installclosebtn", "miniclosebtn", "miniminbtn"}},
};

const std::vector<std::string> kShippedStyles = {
    "mainhead",    "mainbody",   "mainfoot",     "msgboxhead",  "msgboxbody",        "msgboxfoot",
    "msgadhead",   "msgadbody",  "msgadfoot",    "pophead",     "popbody",           "popfoot",
    "setuphead",   "setupbody",  "setupfoot",    "sethomehead", "sethomebody",       "sethomefoot",
    "fbhead",      "fbbody",     "fbfoot",       "aboutbody",   "hotgamebody",       "installedbody",
    "dlgborder",   "toolbar",    "footerfont",   "boldfont",    "updatefont",        "linktext",
    "linktext2",   "rbdlgtitle", "installtitle", "msgtext",     "msgtextsingleline", "titletext",
    "contenttext", "normalbtn",  "yesbtn",       "nobtn",       "linkimage"};

} // namespace

TEST_F(ResourceSet, ShipsEverySkinByKindAndEveryStyle)
{
    const auto skins = NamesByTag(100);
    for (const auto& kind : kShippedSkins) {
        for (const auto& name : kind.second) {
            EXPECT_EQ(skins.count(kind.first) ? skins.at(kind.first).count(name) : 0u, 1u)
                << kind.first << " skin " << name;
            CSkSkinBase* skin = FindSkin(name.c_str());
            ASSERT_NE(skin, nullptr) << name;
            EXPECT_STREQ(skin->TagName(), kind.first.c_str()) << name;
        }
    }
    const std::set<std::string> styles = AllNames(101);
    for (const auto& name : kShippedStyles)
        EXPECT_EQ(styles.count(name), 1u) << "style " << name;
}

TEST_F(ResourceSet, StylesNameOnlySkinsThatExist)
{
    TiXmlDocument document;
    ParseResource(101, document);
    for (const TiXmlElement* e = document.RootElement()->FirstChildElement("class"); e;
         e = e->NextSiblingElement("class")) {
        if (const char* skin = e->Attribute("skin")) {
            EXPECT_NE(FindSkin(skin), nullptr) << "style " << e->Attribute("name") << " names skin " << skin;
        }
    }
}

TEST_F(ResourceSet, EverySkinImageExistsAndHoldsWholeSubImages)
{
    TiXmlDocument document;
    ParseResource(100, document);
    int images = 0;
    for (const TiXmlElement* e = document.RootElement()->FirstChildElement(); e;
         e = e->NextSiblingElement()) {
        const char* src = e->Attribute("src");
        if (!src)
            continue;
        const std::string kind = e->Value();
        const std::string name = e->Attribute("name");
        const UINT id = static_cast<UINT>(atoi(src));
        int width = 0;
        int height = 0;
        if (kind == "png") {
            Gdiplus::Image* image = SkPngPool::Instance().GetImage(id);
            ASSERT_NE(image, nullptr) << name;
            width = static_cast<int>(image->GetWidth());
            height = static_cast<int>(image->GetHeight());
        } else {
            HBITMAP bitmap = SkBmpPool::Instance().GetBitmap(id);
            ASSERT_NE(bitmap, nullptr) << name << ": bitmap " << id;
            BITMAP info = {};
            GetObjectW(bitmap, sizeof(info), &info);
            width = info.bmWidth;
            height = info.bmHeight;
        }
        EXPECT_GT(width, 0) << name;
        EXPECT_GT(height, 0) << name;
        int subwidth = 0;
        if (e->QueryIntAttribute("subwidth", &subwidth) == TIXML_SUCCESS) {
            ASSERT_GT(subwidth, 0) << name;
            EXPECT_EQ(width % subwidth, 0)
                << name << ": " << width << " is not a whole number of " << subwidth;
        }
        // A stretched column or row must lie inside the image.
        int left = 0;
        if (e->QueryIntAttribute("left", &left) == TIXML_SUCCESS) {
            EXPECT_LT(left, subwidth > 0 ? subwidth : width) << name;
        }
        int top = 0;
        if (e->QueryIntAttribute("top", &top) == TIXML_SUCCESS) {
            EXPECT_LT(top, height) << name;
        }
        ++images;
    }
    EXPECT_GT(images, 30);
}

TEST_F(ResourceSet, FixedImagesKeepTheirIdsAndSubImageWidths)
{
    struct Fixed {
        const char* skin;
        const char* kind;
        int src;
        int subwidth;
    };
    const Fixed fixed[] = {{"tabmain", "imglst", 5, 72}, {"closebtn", "png", 44, 41}};
    TiXmlDocument document;
    ParseResource(100, document);
    for (const Fixed& f : fixed) {
        const TiXmlElement* e = document.RootElement()->FirstChildElement(f.kind);
        while (e && std::string(e->Attribute("name")) != f.skin)
            e = e->NextSiblingElement(f.kind);
        ASSERT_NE(e, nullptr) << f.skin;
        int src = 0;
        int subwidth = 0;
        e->QueryIntAttribute("src", &src);
        e->QueryIntAttribute("subwidth", &subwidth);
        EXPECT_EQ(src, f.src) << f.skin;
        EXPECT_EQ(subwidth, f.subwidth) << f.skin;
        EXPECT_EQ(FindSkin(f.skin)->GetSkinSize().cx, f.subwidth) << f.skin;
    }
    // The main tabs: normal, hover and selected images in one 68-pixel strip.
    EXPECT_EQ(FindSkin("tabmain")->GetSkinSize().cy, 68);
}

namespace {

const std::set<std::string> kItemTags = {
    "dlg",  "dlgfile", "text",  "button",   "img",  "progress", "imgbtn",   "realwnd",        "hr", "check",
    "icon", "tabctrl", "radio", "richtext", "link", "memimage", "imglisth", "iconfrommodule", "tab"};
const char* const kSkinAttributes[] = {"skin",         "tabskin", "iconskin", "frameskin",
                                       "splitterskin", "bgskin",  "posskin"};

// Walks a layout and the "dlgfile" panels it loads; collects item ids and
// reports names that do not resolve.
class LayoutWalk {
public:
    explicit LayoutWalk(const std::set<std::string>& styles, std::set<int> twice = {})
        : m_styles(styles), m_twice(std::move(twice))
    {
    }

    void Walk(UINT id)
    {
        TiXmlDocument document;
        ParseResource(id, document);
        for (const TiXmlElement* e = document.FirstChildElement(); e; e = e->NextSiblingElement())
            Visit(id, e);
    }

    std::set<int> ids;
    std::vector<std::string> tabTitles;

private:
    void Visit(UINT layout, const TiXmlElement* e)
    {
        const std::string tag = e->Value();
        const bool part = tag == "layer" || tag == "header" || tag == "body" || tag == "footer";
        EXPECT_TRUE(part || kItemTags.count(tag)) << "layout " << layout << ": unknown tag " << tag;
        if (const char* style = e->Attribute("class")) {
            EXPECT_EQ(m_styles.count(style), 1u) << "layout " << layout << ": style " << style;
        }
        for (const char* attribute : kSkinAttributes) {
            if (const char* skin = e->Attribute(attribute)) {
                EXPECT_NE(FindSkin(skin), nullptr) << "layout " << layout << ": " << attribute << " " << skin;
            }
        }
        int id = 0;
        if (e->QueryIntAttribute("id", &id) == TIXML_SUCCESS) {
            EXPECT_TRUE(ids.insert(id).second || m_twice.count(id))
                << "layout " << layout << ": id " << id << " twice";
        }
        if (tag == "tab")
            tabTitles.push_back(e->Attribute("title") ? e->Attribute("title") : "");
        if (tag == "dlgfile") {
            const char* src = e->Attribute("src");
            ASSERT_NE(src, nullptr) << "layout " << layout;
            Walk(static_cast<UINT>(atoi(src)));
        }
        for (const TiXmlElement* child = e->FirstChildElement(); child; child = child->NextSiblingElement())
            Visit(layout, child);
    }

    const std::set<std::string>& m_styles;
    std::set<int> m_twice; // ids a layout gives two items on purpose
};

} // namespace

TEST_F(ResourceSet, LayoutsNameOnlyStylesSkinsAndPanelsThatExist)
{
    struct Layout {
        UINT id;
        std::set<int> ids;   // the items the program reaches by id
        std::set<int> twice; // ids of two items (the settings dialog's edit and check box)
    };
    const Layout layouts[] = {
        {103,
         {60001, 60002, 60003, 60014, 60015, 60016, 60020, 60022, 60024, 60025, 60026, 136, 4001, 4002, 114,
          115}},
        {126, {60001, 60017, 60024, 30504}},
        {105, {60001, 60004, 60005, 60006, 60007, 60008, 60016}},
        {150, {60001, 60005, 60006, 60007, 60008, 60016}},
        {129,
         {60001, 137, 4004, 4002, 30505, 30506, 11008, 11009, 11010, 11011, 11012, 11013, 11014, 102, 30504,
          106, 103, 104},
         {11013}},
    };
    const std::set<std::string> styles = AllNames(101);
    for (const Layout& layout : layouts) {
        LayoutWalk walk(styles, layout.twice);
        walk.Walk(layout.id);
        for (int id : layout.ids)
            EXPECT_EQ(walk.ids.count(id), 1u) << "layout " << layout.id << " lacks item " << id;
        if (layout.id == 103) {
            const std::vector<std::string> tabs = {"我的下载", "推荐主题", "推荐壁纸", "网页游戏"};
            EXPECT_EQ(walk.tabTitles, tabs);
        }
        if (layout.id == 129) {
            const std::vector<std::string> tabs = {"常规设置", "下载设置"};
            EXPECT_EQ(walk.tabTitles, tabs);
        }
    }
}

TEST_F(ResourceSet, MainWindowAndAboutLayoutsGiveTheirSizes)
{
    struct Size {
        UINT id;
        const char* title;
        int width;
        int height;
    };
    const Size sizes[] = {{103, "拉沃工坊", 960, 660}, {126, "关于", 412, 278}, {129, "设置面板", 523, 336}};
    for (const Size& s : sizes) {
        TiXmlDocument document;
        ParseResource(s.id, document);
        const TiXmlElement* layer = document.RootElement();
        ASSERT_STREQ(layer->Value(), "layer");
        EXPECT_STREQ(layer->Attribute("title"), s.title);
        int width = 0;
        int height = 0;
        layer->QueryIntAttribute("width", &width);
        layer->QueryIntAttribute("height", &height);
        EXPECT_EQ(width, s.width) << s.id;
        EXPECT_EQ(height, s.height) << s.id;
    }
}

TEST_F(ResourceSet, StringTableHoldsTheProgramsTexts)
{
    const std::map<int, const wchar_t*> texts = {
        {0, L"宋体"},
        {1, L"拉沃工坊"},
        {2, L"%d分"},
        {3, L"关于"},
        {4, L"意见反馈"},
        {5, L"相关设置"},
        {6, L"下载任务"},
        {7, L"启动设置"},
        {8, L"点击关闭按钮时"},
        {9, L"环境设置"},
        {10, L"快捷设置"},
        {11, L"主题筛选设置"},
        {12, L"主题载入中……"},
        {14, L"%d 分 %d 秒"},
        {15, L"有风险"},
        {16, L"系统状态：未知"},
        {18, L"确定"},
        {19, L"取消"},
        {20, L"放弃"},
        {21, L"重试"},
        {22, L"忽略"},
        {23, L"是"},
        {24, L"否"},
        {25, L"继续"},
        {27, L"%d 个"},
        {17, L"<button id=%d pos=\"%d,0,%d,-0\" class=normalbtn>%s</button>"},
        {26, L"<dlg pos=\"|-%d,0,|%d,-0\">%s</dlg>"},
    };
    for (const auto& entry : texts)
        EXPECT_STREQ(SkString::Get(entry.first), entry.second) << "string " << entry.first;
    EXPECT_EQ(SkString::Get(13), nullptr);
    EXPECT_EQ(SkString::Instance().Count(), texts.size());
}

namespace {

struct MenuEntry {
    UINT id; // 0 = separator
    const wchar_t* text;
};

void ExpectMenu(UINT id, const wchar_t* popupName, const std::vector<MenuEntry>& expected)
{
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    ASSERT_NE(menu, nullptr) << "menu " << id;
    ASSERT_EQ(GetMenuItemCount(menu), 1) << "menu " << id << " holds one pop-up";
    wchar_t text[64] = {};
    GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, popupName);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected.size())) << "menu " << id;
    for (size_t i = 0; i < expected.size(); ++i) {
        const UINT position = static_cast<UINT>(i);
        if (expected[i].id == 0) {
            EXPECT_TRUE(GetMenuState(popup, position, MF_BYPOSITION) & MF_SEPARATOR)
                << "menu " << id << " #" << i;
            continue;
        }
        EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)), expected[i].id) << "menu " << id << " #" << i;
        GetMenuStringW(popup, position, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, expected[i].text) << "menu " << id << " #" << i;
    }
    DestroyMenu(menu);
}

} // namespace

TEST(ProgramResources, MenusHoldTheirCommandsInOrder)
{
    ExpectMenu(
        102, L"traymenu",
        {{40011, L"显示"}, {0, nullptr}, {40013, L"设置"}, {40007, L"帮助"}, {0, nullptr}, {40009, L"退出"}});
    ExpectMenu(103, L"plugpopwnd",
               {{40015, L"访问主页"},
                {40016, L"关于"},
                {0, nullptr},
                {40017, L"设置"},
                {40018, L"检查更新"},
                {0, nullptr},
                {40019, L"退出"}});
}

namespace {

struct Found {
    std::wstring where;
    WORD language;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR param)
{
    auto* found = reinterpret_cast<std::vector<Found>*>(param);
    std::wstring where = IS_INTRESOURCE(type) ? std::to_wstring(reinterpret_cast<ULONG_PTR>(type)) : type;
    where += L"/";
    where += IS_INTRESOURCE(name) ? std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name;
    found->push_back({where, language});
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param)
{
    EnumResourceLanguagesW(module, type, name, CollectLanguage, param);
    return TRUE;
}

BOOL CALLBACK CollectType(HMODULE module, LPWSTR type, LONG_PTR param)
{
    EnumResourceNamesW(module, type, CollectName, param);
    return TRUE;
}

} // namespace

TEST(ProgramResources, EveryResourceIsChineseSimplified)
{
    std::vector<Found> found;
    EnumResourceTypesW(GetModuleHandleW(nullptr), CollectType, reinterpret_cast<LONG_PTR>(&found));
    ASSERT_GT(found.size(), 50u);
    for (const Found& f : found) {
        EXPECT_EQ(f.language, kChineseSimplified) << std::string(f.where.begin(), f.where.end());
    }
}

TEST(ProgramResources, IconsAndManifest)
{
    for (int id : {100, 101}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        EXPECT_NE(icon, nullptr) << "icon " << id << " at 16 x 16";
        DestroyIcon(icon);
        EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)), nullptr) << "icon " << id;
    }
    std::string manifest;
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    ASSERT_TRUE(LoadModuleResource(found, manifest));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}
