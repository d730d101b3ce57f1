#include "skin/SkRichText.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <tinyxml.h>

#include "base/NotifyRecord.h"
#include "skin/SkFontPool.h"
#include "skin/SkHex.h"
#include "skin/SkItemRepaint.h"
#include "skin/SkNotify.h"
#include "skin/SkStylePool.h"

namespace {

bool TagIs(const TiXmlElement& element, const char* tag)
{
    return _stricmp(element.Value(), tag) == 0;
}

// The text of the element's first child when that child is text, else null.
const char* FirstChildText(const TiXmlElement& element)
{
    const TiXmlNode* first = element.FirstChild();
    return first && first->ToText() ? first->Value() : nullptr;
}

HFONT FontOfCode(int code)
{
    return SkFontPool::Instance().FontForStyle(static_cast<WORD>(code));
}

// Selects a font when there is one; a missing font leaves the DC's.
void UseFont(HDC hdc, HFONT font)
{
    if (font)
        SelectObject(hdc, font);
}

int TextWidth(HDC hdc, const wchar_t* text, int length)
{
    SIZE size = {0, 0};
    if (length > 0)
        GetTextExtentPoint32W(hdc, text, length, &size);
    return size.cx;
}

} // namespace

CSkRichText::CSkRichText() = default;
CSkRichText::~CSkRichText() = default;

BOOL CSkRichText::LoadFromXml(const TiXmlElement* element)
{
    if (!CSkWindow::LoadFromXml(element))
        return FALSE;
    ForgetLayout();
    m_body.reset(element->Clone());
    return TRUE;
}

HRESULT CSkRichText::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "defaultfont") == 0) {
        m_defaultFont = HexToInt(-1, value);
        return S_FALSE;
    }
    if (std::strcmp(name, "linkclass") == 0) {
        m_linkStyle = FindStyle(value);
        return S_FALSE;
    }
    return E_FAIL;
}

void CSkRichText::UpdateCursor()
{
    SetCursor(LoadCursorW(nullptr, m_hoverRun >= 0 ? IDC_HAND : IDC_ARROW));
}

BOOL CSkRichText::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case SKM_PAINT:
        Paint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case SKM_PLACE:
        PlaceItem(*reinterpret_cast<const WINDOWPOS*>(lParam));
        ForgetLayout();
        return TRUE;
    case SKM_MOUSEMOVE:
        UpdateLinkHover(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return TRUE;
    case SKM_LBUTTONDOWN:
        // Every press starts afresh: one on the plain text presses no link,
        // whatever an earlier press left behind.
        UpdateLinkHover(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        m_pressedRun = m_hoverRun;
        return TRUE;
    case SKM_LBUTTONUP: {
        const int pressed = m_pressedRun;
        m_pressedRun = -1;
        // The owner may replace the item while it handles the click, so
        // nothing of it is touched afterwards.
        if (pressed >= 0 && pressed == m_hoverRun)
            NotifyLinkClick(m_runs[pressed].linkId);
        return TRUE;
    }
    case SKM_MOUSELEAVE:
        if (m_hoverRun >= 0)
            RepaintRun(m_hoverRun);
        m_hoverRun = -1;
        return TRUE;
    default:
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    }
}

// The runs belong to one layout: a new load or placement lays out again.
void CSkRichText::ForgetLayout()
{
    m_runs.clear();
    m_laidOut = FALSE;
    m_hoverRun = -1;
    m_pressedRun = -1;
}

void CSkRichText::Paint(HDC hdc)
{
    const HGDIOBJ oldFont = GetCurrentObject(hdc, OBJ_FONT);
    UseFont(hdc, FontOfCode(m_defaultFont));
    RECT inner = m_rect;
    InflateRect(&inner, -m_style.xMargin, -m_style.yMargin);
    const int saved = SaveDC(hdc);
    IntersectClipRect(hdc, inner.left, inner.top, inner.right, inner.bottom);

    Pen pen = {hdc, inner.left, inner.top};
    if (const TiXmlElement* body = m_body ? m_body->ToElement() : nullptr)
        LayoutElement(*body, m_defaultFont, pen);
    DrawLinkRuns(hdc);

    RestoreDC(hdc, saved);
    SelectObject(hdc, oldFont);
    m_laidOut = TRUE;
}

void CSkRichText::BreakLine(Pen& pen) const
{
    pen.x = LineStart();
    pen.y += m_style.linespacing;
}

void CSkRichText::LayoutElement(const TiXmlElement& element, int fontCode, Pen& pen)
{
    const bool link = TagIs(element, "a");
    if (link && !m_laidOut) {
        AddLinkRun(element, pen);
        return;
    }
    if (link && !FirstChildText(element)) {
        // An empty link keeps the spacing its run took.
        pen.x += m_style.spacing;
        return;
    }

    int childCode = fontCode;
    bool colourChanged = false;
    COLORREF oldColour = CLR_INVALID;
    if (TagIs(element, "br")) {
        BreakLine(pen);
    } else if (TagIs(element, "b")) {
        childCode |= 0x4;
    } else if (TagIs(element, "i")) {
        childCode |= 0x1;
    } else if (TagIs(element, "u")) {
        childCode |= 0x2;
    } else if (TagIs(element, "c")) {
        // Without a colour the text keeps the one it has.
        if (const char* colour = element.Attribute("color")) {
            oldColour = SetTextColor(pen.hdc, ParseColor(colour));
            colourChanged = true;
        }
    }

    UseFont(pen.hdc, FontOfCode(childCode));
    for (const TiXmlNode* child = element.FirstChild(); child; child = child->NextSibling()) {
        if (const TiXmlElement* childElement = child->ToElement())
            LayoutElement(*childElement, childCode, pen);
        else if (child->ToText())
            LayoutText(child->Value(), pen, link);
    }
    UseFont(pen.hdc, FontOfCode(fontCode));
    if (colourChanged)
        SetTextColor(pen.hdc, oldColour);
}

int CSkRichText::FittingLength(HDC hdc, const CString& text, int x, bool lineIsEmpty) const
{
    const int length = text.GetLength();
    const int available = LineEnd() - x;
    int fit = 0;
    SIZE size = {0, 0};
    if (available > 0)
        GetTextExtentExPointW(hdc, text, length, available, &fit, nullptr, &size);
    // The fit count is only a first guess: the prefix measured on its own
    // decides.
    fit = std::max(0, std::min(fit, length));
    while (fit > 0 && TextWidth(hdc, text, fit) > available)
        --fit;
    while (fit < length && TextWidth(hdc, text, fit + 1) <= available)
        ++fit;
    if (fit > 0 && fit < length && IS_HIGH_SURROGATE(text[fit - 1]))
        --fit; // never between the halves of a surrogate pair
    if (fit == 0 && lineIsEmpty && length > 0) {
        // A character wider than the whole line stands alone on it.
        fit = (length > 1 && IS_HIGH_SURROGATE(text[0]) && IS_LOW_SURROGATE(text[1])) ? 2 : 1;
    }
    return fit;
}

void CSkRichText::LayoutText(const char* utf8, Pen& pen, bool measureOnly)
{
    CString rest = CString::FromUtf8(utf8);
    for (;;) {
        const int length = FittingLength(pen.hdc, rest, pen.x, pen.x <= LineStart());
        if (!measureOnly && length > 0)
            TextOutW(pen.hdc, pen.x, pen.y, rest, length);
        if (length == rest.GetLength()) {
            pen.x += TextWidth(pen.hdc, rest, length) + m_style.spacing;
            return;
        }
        BreakLine(pen);
        rest = rest.Mid(length);
    }
}

void CSkRichText::AddLinkRun(const TiXmlElement& link, Pen& pen)
{
    SkRichLinkRun run;
    // A link without a text of its own is an empty run: it shows nothing but
    // takes its spacing.
    const char* text = FirstChildText(link);
    run.text = CString::FromUtf8(text ? text : "");
    const HGDIOBJ oldFont = GetCurrentObject(pen.hdc, OBJ_FONT);
    UseFont(pen.hdc, m_linkStyle.font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(pen.hdc, run.text, run.text.GetLength(), &size);
    SelectObject(pen.hdc, oldFont);

    if (pen.x + size.cx > LineEnd())
        BreakLine(pen);
    run.rect = {pen.x, pen.y, pen.x + size.cx, pen.y + size.cy};
    pen.x = run.rect.right + m_style.spacing;
    const char* id = link.Attribute("id");
    run.linkId = id ? std::atoi(id) : 0;
    m_runs.push_back(run);
}

void CSkRichText::DrawLinkRuns(HDC hdc)
{
    const SkStyle& style = m_linkStyle;
    const bool hasFont = style.font != nullptr;
    const bool hasColour = style.crtext != CLR_INVALID;
    if (hasFont)
        SelectObject(hdc, style.font);
    if (IsDisabledInTree()) {
        if (style.crdisabled != CLR_INVALID)
            SetTextColor(hdc, style.crdisabled);
    } else if (hasColour) {
        SetTextColor(hdc, style.crtext);
    }
    for (size_t i = 0; i < m_runs.size(); ++i) {
        const SkRichLinkRun& run = m_runs[i];
        const bool hover = static_cast<int>(i) == m_hoverRun;
        if (hover) {
            if (hasFont && style.hoverfont)
                SelectObject(hdc, style.hoverfont);
            if (hasColour && style.crhover != CLR_INVALID)
                SetTextColor(hdc, style.crhover);
        }
        TextOutW(hdc, run.rect.left, run.rect.top, run.text, run.text.GetLength());
        if (hover) {
            if (hasFont)
                SelectObject(hdc, style.font);
            if (hasColour)
                SetTextColor(hdc, style.crtext);
        }
    }
}

void CSkRichText::UpdateLinkHover(POINT point)
{
    int found = -1;
    for (size_t i = 0; i < m_runs.size() && found < 0; ++i)
        if (PtInRect(&m_runs[i].rect, point))
            found = static_cast<int>(i);
    if (found == m_hoverRun)
        return;
    if (m_hoverRun >= 0)
        RepaintRun(m_hoverRun);
    m_hoverRun = found;
    if (found >= 0)
        RepaintRun(found);
}

void CSkRichText::RepaintRun(int index)
{
    InvalidateItemRect(m_runs[index].rect, *this);
}

void CSkRichText::NotifyLinkClick(int linkId)
{
    HWND view = m_hostWindow;
    HWND owner = view && IsWindow(view) ? GetParent(view) : nullptr;
    if (!owner)
        return;
    const UINT viewId = static_cast<UINT>(GetDlgCtrlID(view));
    SkItemClickNotify notify = {};
    notify.hdr.hwndFrom = view;
    notify.hdr.idFrom = viewId;
    notify.hdr.code = SKN_ITEM_CLICK;
    notify.itemId = static_cast<UINT>(linkId);
    notify.itemClass = TagName();
    SendNotifyRecord(owner, viewId, notify);
}
