// "richtext": a small marked-up text, the item's own XML content. Text runs
// from left to right inside the item less its margins and wraps between any
// two characters; "br" breaks the line; "b", "i" and "u" make the text
// inside bold, italic and underlined (nesting adds up); "c" colours it
// ("color" RRGGBB); "a" is a link, laid out as one unbreakable run in the
// fonts and colours of the "linkclass" style, whose click reports its "id"
// to the owner dialog. Tags are compared without regard to case.
#pragma once

#include <memory>
#include <vector>

#include "skin/SkRichLinkRun.h"
#include "skin/SkWindow.h"

class TiXmlElement;
class TiXmlNode;

class CSkRichText : public CSkWindow {
public:
    CSkRichText();
    ~CSkRichText() override;

    const char* TagName() const override { return "richtext"; }
    // The base load, then a copy of the whole element as the text to show.
    BOOL LoadFromXml(const TiXmlElement* element) override;
    // "defaultfont": the font code of the outer text, hexadecimal;
    // "linkclass": the style of the links.
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    // The hand over a link, else the arrow.
    void UpdateCursor() override;
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    const std::vector<SkRichLinkRun>& Runs() const noexcept { return m_runs; }
    BOOL LaidOut() const noexcept { return m_laidOut; }
    // Indexes into Runs(), -1 for none.
    int HoverRun() const noexcept { return m_hoverRun; }
    int PressedRun() const noexcept { return m_pressedRun; }
    int DefaultFont() const noexcept { return m_defaultFont; }
    const SkStyle& LinkStyle() const noexcept { return m_linkStyle; }

private:
    struct Pen {
        HDC hdc;
        int x, y;
    };

    void Paint(HDC hdc);
    void LayoutElement(const TiXmlElement& element, int fontCode, Pen& pen);
    void LayoutText(const char* utf8, Pen& pen, bool measureOnly);
    void AddLinkRun(const TiXmlElement& link, Pen& pen);
    void DrawLinkRuns(HDC hdc);
    void BreakLine(Pen& pen) const;
    int LineStart() const { return m_rect.left + m_style.xMargin; }
    int LineEnd() const { return m_rect.right - m_style.xMargin; }
    // How many characters of text, at least one, start the line at the pen.
    int FittingLength(HDC hdc, const CString& text, int x, bool lineIsEmpty) const;

    void UpdateLinkHover(POINT point);
    void NotifyLinkClick(int linkId);
    void RepaintRun(int index);
    void ForgetLayout();

    std::unique_ptr<TiXmlNode> m_body;
    int m_defaultFont = 0;
    SkStyle m_linkStyle;
    std::vector<SkRichLinkRun> m_runs;
    BOOL m_laidOut = FALSE;
    int m_hoverRun = -1;
    int m_pressedRun = -1;
};
