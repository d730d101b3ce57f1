// The program's layouts drawn with its own skins, styles and images: every
// pixel of a window gets a background. A view starts from a black back
// buffer, so a black pixel outside the items that draw black themselves (a
// real window's place, black text, an icon) is a part of the window that no
// skin or colour covers.
#include <gtest/gtest.h>

#include "skin/SkDialogImpl.h"
#include "skin/SkFontPool.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "skin/SkWindow.h"

#include <set>
#include <vector>

namespace {

class CLayoutDialog : public CSkDialogImpl<CLayoutDialog> {
public:
    explicit CLayoutDialog(UINT layoutId) : CSkDialogImpl(layoutId) {}
};

struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<POINT> black;
};

// Prints the dialog's view into a 32-bit DIB and lists its black pixels that
// lie outside the rectangles of the given items.
Coverage BlackPixels(CLayoutDialog& dialog, const std::set<UINT>& excluded)
{
    Coverage coverage;
    RECT client = {};
    GetClientRect(dialog.m_view.m_hWnd, &client);
    coverage.width = client.right;
    coverage.height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = coverage.width;
    info.bmiHeader.biHeight = -coverage.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(dialog.m_view.m_hWnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();

    std::vector<RECT> skip;
    for (UINT id : excluded) {
        CSkWindow* item = dialog.m_view.FindItem(id);
        EXPECT_NE(item, nullptr) << "item " << id;
        if (item)
            skip.push_back(item->m_rect);
    }
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int y = 0; y < coverage.height; ++y) {
        for (int x = 0; x < coverage.width; ++x) {
            if ((pixels[y * coverage.width + x] & 0xFFFFFF) != 0)
                continue;
            const POINT p = {x, y};
            bool skipped = false;
            for (const RECT& r : skip)
                skipped = skipped || PtInRect(&r, p);
            if (!skipped)
                coverage.black.push_back(p);
        }
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return coverage;
}

class LayoutCoverage : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(LoadStringTable());
        SetDefaultFontFace(SkString::Get(0));
        ASSERT_TRUE(LoadSkins());
        ASSERT_TRUE(LoadStyles());
    }
};

} // namespace

TEST_F(LayoutCoverage, EveryPartOfTheWindowsHasABackground)
{
    struct Case {
        UINT layout;
        int width; // 0: the layout's own size
        int height;
        std::set<UINT> excluded; // items that may draw black: real windows, black text, icons
    };
    const Case cases[] = {
        {103, 0, 0, {114, 115}},
        {103, 1280, 900, {114, 115}}, // larger, as maximised
        {126, 0, 0, {30504}},
        {105, 420, 170, {60005}}, // the message boxes size themselves from their text
        {150, 420, 170, {60005}},
        {130, 0, 0, {60005, 60006}}, // the set-home pop-up
        {131, 0, 0, {60005}},        // the download-finished pop-up
    };
    for (const Case& c : cases) {
        CLayoutDialog dialog(c.layout);
        ASSERT_NE(dialog.Create(nullptr), nullptr) << "layout " << c.layout;
        if (c.width)
            dialog.ResizeClient(c.width, c.height);
        const Coverage coverage = BlackPixels(dialog, c.excluded);
        EXPECT_GT(coverage.width * coverage.height, 0) << "layout " << c.layout;
        if (c.width) {
            EXPECT_EQ(coverage.width, c.width);
            EXPECT_EQ(coverage.height, c.height);
        }
        EXPECT_TRUE(coverage.black.empty())
            << "layout " << c.layout << " at " << coverage.width << " x " << coverage.height << ": "
            << coverage.black.size() << " black pixels, the first at (" << coverage.black[0].x << ", "
            << coverage.black[0].y << ")";
        dialog.DestroyWindow();
    }
}
