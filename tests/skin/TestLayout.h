// A top panel built from layout XML and placed over a client area, as a
// view places its body, for the item and layout tests.
#pragma once

#include <string>

#include <tinyxml.h>

#include "skin/SkDialog.h"
#include "skin/SkStylePool.h"
#include "skin/SkXml.h"

// Styles the layout tests refer to.
inline void LoadTestStyles()
{
    SkStylePool::Instance().LoadXml(R"(<style>
        <class name="margins" x-margin="4" y-margin="5"/>
        <class name="blue" crbg="0000FF" crtext="FFFFFF"/>
        <class name="hovering" crtext="102030" crhover="405060" crdisabled="708090"/>
        <class name="wrapping" textmode="10"/>
    </style>)");
}

class TestLayout {
public:
    // xml: a panel element ("body") whose children are the layout.
    explicit TestLayout(const std::string& xml, int width = 400, int height = 300, HWND host = nullptr)
    {
        TiXmlDocument doc;
        m_parsed = ParseSkinXml(xml, doc);
        panel.SetHostWindow(host);
        panel.LoadFromXml(RootElement(doc));
        panel.ApplyAttribute("pos", "0,0,-0,-0", TRUE);
        Place(width, height);
    }

    void Place(int width, int height)
    {
        WINDOWPOS place = {};
        place.cx = width;
        place.cy = height;
        place.flags = SWP_SHOWWINDOW;
        panel.SendSkMessage(SKM_PLACE, 0, reinterpret_cast<LPARAM>(&place));
    }

    CSkWindow* Item(UINT id) { return panel.FindItemById(id); }
    RECT RectOf(UINT id)
    {
        CSkWindow* item = Item(id);
        return item ? item->m_rect : RECT{-1, -1, -1, -1};
    }
    bool Parsed() const { return m_parsed; }

    CSkDialog panel;

private:
    bool m_parsed = false;
};

inline bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
