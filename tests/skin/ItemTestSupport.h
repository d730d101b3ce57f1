// Skins, styles and pixel helpers of the item and tab control tests. The
// skins draw the formula bitmaps of make_test_images.py (TestImages.h).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "tests/support/DibCanvas.h"
#include "TestImages.h"
#include "skin/SkFontPool.h"
#include "skin/SkSkinPool.h"
#include "skin/SkStylePool.h"
#include "skin/SkWindow.h"

inline void LoadItemSkins()
{
    SkSkinPool::Instance().LoadXml(R"(<skins>
        <imglst name="horzsubs" src="6" subwidth="10"/>
        <imglst name="horzwhole" src="6"/>
        <imglst name="strip" src="5" subwidth="72"/>
        <imglst name="splitter" src="107"/>
        <imghorzex name="horzbar" src="6" left="3" subwidth="10"/>
        <imghorzex name="stripbar" src="5" left="3" subwidth="72"/>
        <button name="uglybtn"/>
        <button name="normalbtn" border="7D9EBC" bg="FBFCFD" bgup="FEFEFE" bgdown="C6E2FD" bguphover="FEFEFE"
                bgdownhover="DBEDFE" bguppush="C6E2FD" bgdownpush="FEFEFE"/>
    </skins>)");
}

inline void LoadItemStyles()
{
    SkStylePool::Instance().LoadXml(R"(<style>
        <class name="btn" skin="normalbtn" crtext="000000" textmode="25"/>
        <class name="linktext" crtext="3064A5" crhover="FF0000" cursor="hand"/>
        <class name="margins" x-margin="3" y-margin="4"/>
        <class name="tabs" crtext="0000FF" crhover="FF0000" font="0000" hoverfont="0C04"/>
    </style>)");
}

// The pixels where a text drawn in black on white is fully black: their
// colour is the text colour whatever lies under the text.
class TextInk {
public:
    TextInk(int width, int height, HFONT font, const wchar_t* text, RECT rect, UINT format)
        : m_canvas(width, height)
    {
        m_canvas.Fill(RGB(255, 255, 255));
        HDC dc = m_canvas.Dc();
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        HGDIOBJ old = SelectObject(dc, font);
        DrawTextW(dc, text, -1, &rect, format);
        SelectObject(dc, old);
    }

    bool At(int x, int y) const { return m_canvas.Pixel(x, y) == RGB(0, 0, 0); }

    std::vector<POINT> Points() const
    {
        std::vector<POINT> points;
        for (int y = 0; y < m_canvas.Height(); ++y)
            for (int x = 0; x < m_canvas.Width(); ++x)
                if (At(x, y))
                    points.push_back({x, y});
        return points;
    }

private:
    DibCanvas m_canvas;
};

inline HFONT DefaultSkinFont()
{
    return SkFontPool::Instance().FontForStyle(0);
}

// A canvas prepared as a view prepares its back buffer: the default skin
// font and transparent text background.
class ItemCanvas : public DibCanvas {
public:
    ItemCanvas(int width, int height, COLORREF fill = RGB(1, 2, 3)) : DibCanvas(width, height, fill)
    {
        m_oldFont = SelectObject(Dc(), DefaultSkinFont());
        SetBkMode(Dc(), TRANSPARENT);
    }
    ~ItemCanvas() { SelectObject(Dc(), m_oldFont); }

    void Draw(CSkWindow& item)
    {
        Fill(RGB(1, 2, 3));
        item.DrawInRegion(Dc(), nullptr);
    }

private:
    HGDIOBJ m_oldFont;
};

// Every pixel for which expected gives a colour has that colour; reports
// the first few that differ.
inline void ExpectPixels(const DibCanvas& canvas,
                         const std::function<std::optional<COLORREF>(int, int)>& expected)
{
    int wrong = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const std::optional<COLORREF> want = expected(x, y);
            if (!want || canvas.Pixel(x, y) == *want)
                continue;
            if (++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << ColourText(canvas.Pixel(x, y))
                              << ", expected " << ColourText(*want);
        }
    }
    EXPECT_EQ(0, wrong) << "pixels that differ";
}

inline bool Inside(const RECT& rect, int x, int y)
{
    const POINT p = {x, y};
    return PtInRect(&rect, p) != FALSE;
}
