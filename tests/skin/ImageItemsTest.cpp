// Memory images, image lists and file icons: what they draw, compared with
// the same skin, image or icon drawn directly where it must go; the shared
// file-icon cache; and the pointer-sized values owners hand over as text.
#include "TestLayout.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <memory>
#include <vector>

#include "AllocationProbe.h"
#include "tests/support/DibCanvas.h"
#include "skin/SkDrawFileIcon.h"
#include "skin/SkFileIconCache.h"
#include "skin/SkImageListHWnd.h"
#include "skin/SkMemoryImage.h"
#include "skin/SkPngPool.h"
#include "skin/SkPointerValue.h"
#include "skin/SkSkinPool.h"
#include "tests/support/TempFolder.h"

namespace {

const COLORREF kBack = RGB(1, 2, 3);

void Paint(CSkWindow* item, DibCanvas& canvas)
{
    item->SendSkMessage(SKM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()));
}

std::string PointerText(const void* pointer)
{
    return std::to_string(reinterpret_cast<UINT_PTR>(pointer));
}

class ImageItemsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(LoadSkins());
        SkPngPool::Instance(); // starts GDI+
    }
};

} // namespace

TEST(PointerValue, IsReadAsAPointerSizedDecimal)
{
    struct Case {
        const char* text;
        UINT_PTR value;
    };
    const Case cases[] = {
        {"0", 0},
        {"123", 123},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"-1", static_cast<UINT_PTR>(-1)},
        {"+7", 7},
        {"4294967295", 0xFFFFFFFFu},
#ifdef _WIN64
        {"4294967296", 0x100000000ull},
        {"18446744073709551615", ~0ull},
#endif
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParsePointerValue(c.text), c.value) << c.text;
    EXPECT_EQ(ParsePointerValue(nullptr), 0u);
}

// The cells of a row, as the skins draw them one after the other.
TEST_F(ImageItemsTest, ImageListDrawsItsCellsFromTheLists)
{
    struct Cell {
        const char* skin;
        int sub;
        int x;
    };
    struct Case {
        const char* name;
        const char* attributes;
        std::vector<Cell> cells;
    };
    const Case cases[] = {
        {"lists after the count",
         R"(imagecount="3" skinlist="skin0=strip,skin2=stripwhole" sublist="sub0=1")",
         {{"strip", 1, 0}, {"stripwhole", -1, 72}}},
        {"lists before the count",
         R"(skinlist="skin0=strip,skin2=stripwhole" sublist="sub0=1" imagecount="3")",
         {{"strip", 1, 0}, {"stripwhole", -1, 72}}},
        {"malformed entries and unknown skins are passed over",
         R"(imagecount="3" skinlist="=strip,skin1,,skin0=strip,skin2=nosuchskin," sublist="sub0=2,=5,sub1,")",
         {{"strip", 2, 0}}},
        {"a list named in other letter case counts at the end of the load",
         R"(imagecount="2" SkinList="skin1=stripwhole")",
         {{"stripwhole", -1, 0}}},
        {"keys past the count are never read", R"(imagecount="1" skinlist="skin1=strip")", {}},
    };
    for (const Case& c : cases) {
        TestLayout layout(
            std::string("<body><imglisth id=\"1\" pos=\"0,0,400,8\" ") + c.attributes + "/></body>", 400, 8);
        DibCanvas drawn(400, 8), expected(400, 8);
        Paint(layout.Item(1), drawn);
        for (const Cell& cell : c.cells)
            FindSkin(cell.skin)->Draw(expected.Dc(), RECT{cell.x, 0, 400, 8}, cell.sub);
        EXPECT_EQ(DifferentPixels(drawn, expected), 0) << c.name;
        EXPECT_EQ(drawn.CountOtherThan(kBack) == 0, c.cells.empty()) << c.name;
    }
}

// Lists set at run time go on top of the cells; a larger count draws cells
// whose sub-image was never given with index 0.
TEST_F(ImageItemsTest, ImageListTakesListsAndCountsAtRunTime)
{
    TestLayout layout(
        R"(<body><imglisth id="1" pos="0,0,400,8" imagecount="2" skinlist="skin0=strip" sublist="sub0=1"/></body>)",
        400, 8);
    auto* list = static_cast<CSkImageListHWnd*>(layout.Item(1));
    EXPECT_EQ(list->CellSub(1), -1);
    list->ApplyAttribute("imagecount", "4", FALSE);
    list->ApplyAttribute("skinlist", "skin3=strip,skin1=strip", FALSE);
    list->ApplyAttribute("skinlist", "", FALSE); // empty: nothing changes
    EXPECT_EQ(list->CellSub(3), 0);
    DibCanvas drawn(400, 8), expected(400, 8);
    Paint(list, drawn);
    CSkSkinBase* strip = FindSkin("strip");
    strip->Draw(expected.Dc(), RECT{0, 0, 400, 8}, 1);
    strip->Draw(expected.Dc(), RECT{72, 0, 400, 8}, -1);
    strip->Draw(expected.Dc(), RECT{144, 0, 400, 8}, 0);
    EXPECT_EQ(DifferentPixels(drawn, expected), 0);
}

// A huge count draws what the lists name, as a small one does, and costs no
// more: neither the load nor a paint visits the cells one by one.
TEST_F(ImageItemsTest, ImageListWithAHugeCountDrawsOnlyTheNamedCells)
{
    const char* counts[] = {"10000000", "2147483647", "2147483600"};
    for (const char* count : counts) {
        SCOPED_TRACE(count);
        allocation_probe::StartCounting();
        TestLayout layout(
            std::string(R"(<body><imglisth id="1" pos="0,0,400,8" imagecount=")") + count +
                R"(" skinlist="skin0=strip,skin9=stripwhole,skin2147483646=strip" sublist="sub0=1"/></body>)",
            400, 8);
        auto* list = static_cast<CSkImageListHWnd*>(layout.Item(1));
        ASSERT_TRUE(list);
        DibCanvas drawn(400, 8);
        Paint(list, drawn);
        Paint(list, drawn);
        // Stop here rather than go on to a count that would exhaust memory.
        ASSERT_LT(allocation_probe::StopCounting(), 256u * 1024u);

        const bool lastCell = std::string(count) == "2147483647";
        DibCanvas expected(400, 8);
        CSkSkinBase* strip = FindSkin("strip");
        CSkSkinBase* whole = FindSkin("stripwhole");
        const LONG second = strip->GetSkinSize().cx;
        const LONG third = second + whole->GetSkinSize().cx;
        strip->Draw(expected.Dc(), RECT{0, 0, 400, 8}, 1);
        whole->Draw(expected.Dc(), RECT{second, 0, 400, 8}, -1);
        if (lastCell) // the last cell of the count, with sub-image -1 as no list names it
            strip->Draw(expected.Dc(), RECT{third, 0, 400, 8}, -1);
        EXPECT_EQ(DifferentPixels(drawn, expected), 0);
        EXPECT_EQ(list->CellSub(9), -1);
        EXPECT_EQ(list->CellSub(2147483646), lastCell ? -1 : 0);
        EXPECT_EQ(list->ImageCount(), std::stoi(count));
    }
}

TEST_F(ImageItemsTest, ImageListTakesItsSizeFromItsSkin)
{
    TestLayout layout(
        R"(<body><imglisth id="1" skin="strip" pos="0,0"/><imglisth id="2" pos="0,0" sub="3"/></body>)");
    EXPECT_EQ(layout.RectOf(1), (RECT{0, 0, 72, 8}));
    EXPECT_EQ(static_cast<CSkImageListHWnd*>(layout.Item(2))->Sub(), 3);
}

TEST_F(ImageItemsTest, MemoryImageStretchesOrDrawsAtNaturalSize)
{
    const COLORREF red = RGB(255, 0, 0);
    Gdiplus::Bitmap image(4, 3, PixelFormat32bppARGB);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.SetPixel(x, y, Gdiplus::Color(255, 255, 0, 0));
    const std::string pointer = PointerText(&image);
    struct Case {
        const char* name;
        std::string attributes;
        std::vector<POINT> red, untouched, tinted; // tinted: some red, at the blended edges
    };
    const Case cases[] = {
        {"stretched over the item",
         "mempointer=\"" + pointer + "\"",
         {{7, 7}, {30, 22}},
         {{3, 3}, {50, 40}},
         {{44, 34}}},
        {"an empty autosize keeps stretching",
         "mempointer=\"" + pointer + "\" autosize=\"\"",
         {{7, 7}, {30, 22}},
         {{3, 3}, {50, 40}},
         {{44, 34}}},
        {"natural size at the top-left, past a smaller item",
         "pos=\"5,5,7,7\" mempointer=\"" + pointer + "\" autosize=\"0\"",
         {{5, 5}, {8, 7}},
         {{9, 5}, {5, 8}, {20, 20}}},
        {"any other autosize draws nothing", "mempointer=\"" + pointer + "\" autosize=\"2\"", {}, {{25, 20}}},
        {"no image", "", {}, {{25, 20}}},
        {"a pointer that is no number", "mempointer=\"image\"", {}, {{25, 20}}},
    };
    for (const Case& c : cases) {
        const std::string attributes = c.attributes.find("pos=") == std::string::npos
                                           ? "pos=\"5,5,45,35\" " + c.attributes
                                           : c.attributes;
        TestLayout layout("<body><memimage id=\"1\" " + attributes + "/></body>", 60, 50);
        DibCanvas canvas(60, 50);
        Paint(layout.Item(1), canvas);
        for (POINT p : c.red)
            EXPECT_EQ(ColourText(canvas.Pixel(p.x, p.y)), ColourText(red))
                << c.name << " " << p.x << "," << p.y;
        for (POINT p : c.untouched)
            EXPECT_EQ(ColourText(canvas.Pixel(p.x, p.y)), ColourText(kBack))
                << c.name << " " << p.x << "," << p.y;
    }
}

class FileIconTest : public ImageItemsTest {
protected:
    // What an item of the given size must show for an icon.
    static void ExpectIcon(CSkWindow* item, HICON icon, int size)
    {
        DibCanvas drawn(size, size), expected(size, size);
        Paint(item, drawn);
        DrawIconEx(expected.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        EXPECT_EQ(DifferentPixels(drawn, expected), 0);
        EXPECT_GT(drawn.CountOtherThan(kBack), 0);
    }

    static std::string FileIconXml(UINT id, const CString& path)
    {
        return "<iconfrommodule id=\"" + std::to_string(id) + "\" pos=\"0,0,32,32\" srcfile=\"" +
               path.ToUtf8() + "\"/>";
    }

    CTempFolder folder;
};

// A Chinese path works: the UTF-8 attribute is read as UTF-16 and used with
// the wide functions.
TEST_F(FileIconTest, ItemsOfOnePathShareOneCachedIcon)
{
    WriteFileBytes(folder / L"图标测试.txt", "text");
    const CString path = folder / L"图标测试.txt";
    CString upper = path;
    upper.MakeUpper();
    const size_t before = SkFileIconCache::Instance().Count();
    TestLayout layout(
        "<body>" + FileIconXml(1, path) + FileIconXml(2, path) + FileIconXml(3, upper) + "</body>", 32, 32);
    EXPECT_EQ(static_cast<CSkDrawFileIcon*>(layout.Item(1))->SourceFile(), path);

    HICON icon = SkFileIconCache::Instance().GetIcon(path);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(SkFileIconCache::Instance().Count(), before + 1);
    ExpectIcon(layout.Item(1), icon, 32);
    ExpectIcon(layout.Item(2), icon, 32);
    EXPECT_EQ(SkFileIconCache::Instance().Count(), before + 1);
    EXPECT_EQ(SkFileIconCache::Instance().GetIcon(path), icon);

    // Another letter case is another entry, with an icon of its own.
    DibCanvas canvas(32, 32);
    Paint(layout.Item(3), canvas);
    EXPECT_EQ(SkFileIconCache::Instance().Count(), before + 2);
    EXPECT_NE(SkFileIconCache::Instance().GetIcon(upper), icon);
}

TEST_F(FileIconTest, AMissingFileDrawsNothingAndIsAskedAgain)
{
    const CString path = folder / L"later.txt";
    TestLayout layout("<body>" + FileIconXml(1, path) + "</body>", 32, 32);
    const size_t before = SkFileIconCache::Instance().Count();
    DibCanvas canvas(32, 32);
    Paint(layout.Item(1), canvas);
    EXPECT_EQ(canvas.CountOtherThan(kBack), 0);
    EXPECT_EQ(SkFileIconCache::Instance().GetIcon(path), nullptr);
    EXPECT_EQ(SkFileIconCache::Instance().Count(), before);

    WriteFileBytes(folder / L"later.txt", "now it exists");
    ExpectIcon(layout.Item(1), SkFileIconCache::Instance().GetIcon(path), 32);
}

// An icon handle given by the owner wins over the file and stays the
// owner's.
TEST_F(FileIconTest, AnIconHandleIsDrawnStretched)
{
    CIconHandle icon(CopyIcon(LoadIconW(nullptr, IDI_ASTERISK)));
    ASSERT_TRUE(icon);
    TestLayout layout(
        "<body><iconfrommodule id=\"1\" pos=\"0,0,20,20\" srcfile=\"Z:\\nothing\\here.txt\" iconhandle=\"" +
            PointerText(icon.Get()) + "\"/></body>",
        20, 20);
    auto* item = static_cast<CSkDrawFileIcon*>(layout.Item(1));
    EXPECT_EQ(item->IconHandle(), icon.Get());
    ExpectIcon(item, icon, 20);
    EXPECT_EQ(item->ApplyAttribute("iconhandle", "", FALSE), S_OK);
    EXPECT_EQ(item->IconHandle(), icon.Get());
}
