#include "skin/SkWindow.h"

#include <shlwapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include <tinyxml.h>

#include "base/Handle.h"
#include "skin/SkAppliedTextStyle.h"
#include "skin/SkContainerWnd.h"
#include "skin/SkFontPool.h"
#include "skin/SkHex.h"
#include "skin/SkItemRegistry.h"
#include "skin/SkItemRelease.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"

namespace {

bool Is(const char* text, const char* expected)
{
    return text && std::strcmp(text, expected) == 0;
}

const int kWordBreakBottom = 0x7FFF;

} // namespace

int ResolvePos(const SkPosItem& item, int lo, int hi)
{
    const int width = hi - lo;
    if (item.fromCentre)
        return item.fromEnd ? lo + width / 2 - item.value : lo + width / 2 + item.value;
    if (item.fromEnd)
        return hi - item.value;
    return lo + item.value;
}

CSkWindow::CSkWindow() : m_handle(RegisterSkWindow(this)) {}

CSkWindow::~CSkWindow()
{
    if (!m_retired)
        SkItemRegistry::Instance().Unregister(m_handle);
}

BOOL CSkWindow::LoadFromXml(const TiXmlElement* element)
{
    if (!element)
        return FALSE;
    const TiXmlNode* first = element->FirstChild();
    if (first && first->ToText())
        m_text = CString::FromUtf8(first->Value());
    else
        m_text.Empty();
    SubstituteSkinStrings();

    m_layoutFlags = 0;
    CSkObject::LoadFromXml(element);

    const char* show = element->Attribute("show");
    if (show && *show) {
        if (StrToIntA(show))
            m_state &= ~SKS_HIDDEN;
        else
            m_state |= SKS_HIDDEN;
    }
    if (m_posCount == 2 || m_posCount == 4)
        return TRUE; // the pos rule or measuring sizes the item
    ApplySizeRules(element);
    return TRUE;
}

// Replaces each "%strN%" (N > 0) by skin string N. The search goes on right
// after the inserted text, so a string that holds a placeholder itself is
// not expanded again and the next placeholder is never skipped.
void CSkWindow::SubstituteSkinStrings()
{
    int index = 0;
    while (index < m_text.GetLength()) {
        const int start = m_text.Find(L"%str", index);
        if (start < 0)
            return;
        const int numberAt = start + 4;
        const int number = StrToIntW(m_text.GetString() + numberAt);
        if (number <= 0)
            return;
        const int close = m_text.Find(L'%', numberAt);
        if (close < 0)
            return;
        const CString replacement = SkString::Text(number);
        m_text.Delete(start, close - start + 1);
        m_text.Insert(start, replacement);
        index = start + replacement.GetLength();
    }
}

void CSkWindow::ApplySizeRules(const TiXmlElement* element)
{
    const char* width = element->Attribute("width");
    const int widthValue = width ? StrToIntA(width) : 0;
    if (widthValue > 0) {
        m_layoutFlags |= SKL_WIDTH_FIXED;
        m_fixedWidth = m_rect.right = widthValue;
    } else if (Is(width, "full")) {
        m_layoutFlags |= SKL_WIDTH_FULL;
    } else {
        m_layoutFlags |= SKL_WIDTH_AUTO;
        m_rect.right = 0;
    }

    const char* height = element->Attribute("height");
    const int heightValue = height ? StrToIntA(height) : 0;
    if (heightValue > 0) {
        m_layoutFlags |= SKL_HEIGHT_FIXED;
        m_fixedHeight = m_rect.bottom = heightValue;
    } else if (Is(height, "full")) {
        m_layoutFlags |= SKL_HEIGHT_FULL;
    } else {
        m_layoutFlags |= SKL_HEIGHT_AUTO;
        m_rect.bottom = 0;
    }

    if (m_layoutFlags & (SKL_WIDTH_AUTO | SKL_HEIGHT_AUTO)) {
        SIZE size = {0, 0};
        SendSkMessage(SKM_MEASURE, FALSE, reinterpret_cast<LPARAM>(&size));
        if (m_layoutFlags & SKL_WIDTH_AUTO)
            m_rect.right = size.cx;
        if (m_layoutFlags & SKL_HEIGHT_AUTO)
            m_rect.bottom = size.cy;
    }

    const char* floating = element->Attribute("float");
    m_layoutFlags |= floating && StrToIntA(floating) ? SKL_FLOATING : SKL_NOT_FLOATING;
}

HRESULT CSkWindow::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    if (Is(name, "class")) {
        m_style = FindStyle(value);
        return S_OK;
    }
    if (Is(name, "id")) {
        m_id = static_cast<UINT>(StrToIntA(value));
        return S_FALSE;
    }
    if (Is(name, "crbg")) {
        m_style.crbg = ParseColor(value);
        return S_FALSE;
    }
    if (Is(name, "crtext")) {
        m_style.crtext = ParseColor(value);
        return S_FALSE;
    }
    if (Is(name, "font")) {
        m_style.font = SkFontPool::Instance().FontForStyle(static_cast<WORD>(HexToInt(4, value)));
        return S_FALSE;
    }
    if (Is(name, "href")) {
        m_href = CString::FromUtf8(value);
        return S_FALSE;
    }
    if (Is(name, "tip")) {
        m_tip = CString::FromUtf8(value);
        return S_FALSE;
    }
    if (Is(name, "valign")) {
        if (Is(value, "top"))
            m_valign = SKA_TOP;
        else if (Is(value, "middle"))
            m_valign = SKA_MIDDLE;
        else if (Is(value, "bottom"))
            m_valign = SKA_BOTTOM;
        else
            return E_FAIL;
        return S_OK;
    }
    if (Is(name, "align")) {
        if (Is(value, "left"))
            m_align = SKA_LEFT;
        else if (Is(value, "center"))
            m_align = SKA_CENTER;
        else if (Is(value, "right"))
            m_align = SKA_RIGHT;
        else
            return E_FAIL;
        return S_OK;
    }
    if (Is(name, "pos")) {
        ParsePos(value, loading);
        return S_FALSE;
    }
    if (Is(name, "transparent")) {
        m_transparent = StrToIntA(value);
        return S_FALSE;
    }
    return E_FAIL;
}

void CSkWindow::ParsePos(const char* value, BOOL loading)
{
    if (!value || !*value)
        return;
    m_posCount = 0;
    const char* p = value;
    while (m_posCount < 4) {
        SkPosItem& item = m_pos[m_posCount++];
        item.fromCentre = *p == '|';
        if (item.fromCentre)
            ++p;
        item.fromEnd = *p == '-';
        if (item.fromEnd)
            ++p;
        item.value = StrToIntA(p);
        const char* comma = std::strchr(p, ',');
        if (!comma)
            break;
        p = comma + 1;
    }
    if (m_posCount == 2 || m_posCount == 4) {
        m_layoutFlags &= ~(SKL_WIDTH_FIXED | SKL_WIDTH_FULL | SKL_HEIGHT_FIXED | SKL_HEIGHT_FULL);
        m_layoutFlags |= SKL_WIDTH_AUTO | SKL_HEIGHT_AUTO;
    } else {
        m_posCount = 0;
    }
    if (!loading) {
        CSkWindow* parent = Parent();
        if (parent && parent->IsContainer())
            static_cast<CSkContainerWnd*>(parent)->RepositionChild(this);
    }
}

void CSkWindow::UpdateCursor()
{
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(m_style.cursor)));
}

void CSkWindow::SetHostWindow(HWND hwnd)
{
    m_hostWindow = hwnd;
}

UINT CSkWindow::HitTest(POINT point)
{
    return PtInRect(&m_rect, point) ? m_handle : 0;
}

BOOL CSkWindow::RedrawsOnStateChange()
{
    const CSkSkinBase* skin = FindSkin(m_style.skin.c_str());
    if (skin && !skin->IgnoresState())
        return TRUE;
    return m_style.crhover != CLR_INVALID || m_style.hoverfont || m_style.crbghover != CLR_INVALID;
}

BOOL CSkWindow::IsContainer() const
{
    return FALSE;
}

BOOL CSkWindow::DrawInRegion(HDC hdc, HRGN region)
{
    if (region && !RectInRegion(region, &m_rect))
        return FALSE;
    FillBackground(hdc);
    SendSkMessage(SKM_PAINT, reinterpret_cast<WPARAM>(hdc));
    return TRUE;
}

void CSkWindow::FillBackground(HDC hdc) const
{
    if (!m_style.skin.empty()) {
        if (const CSkSkinBase* skin = FindSkin(m_style.skin.c_str()))
            skin->Draw(hdc, m_rect, static_cast<int>(m_state));
        return;
    }
    COLORREF colour = m_style.crbg;
    if (IsHovered() && m_style.crbghover != CLR_INVALID)
        colour = m_style.crbghover;
    if (colour == CLR_INVALID)
        return;
    const COLORREF old = SetBkColor(hdc, colour);
    ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &m_rect, nullptr, 0, nullptr);
    SetBkColor(hdc, old);
}

BOOL CSkWindow::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case SKM_CREATE:
        result = 1;
        break;
    case SKM_DESTROY:
        break;
    case SKM_PAINT:
        DrawItemText(reinterpret_cast<HDC>(wParam));
        break;
    case SKM_SHOW:
        if (wParam)
            m_state &= ~SKS_HIDDEN;
        else
            m_state |= SKS_HIDDEN;
        break;
    case SKM_PLACE:
        PlaceItem(*reinterpret_cast<const WINDOWPOS*>(lParam));
        break;
    case SKM_MEASURE:
        MeasureItem(static_cast<BOOL>(wParam), *reinterpret_cast<SIZE*>(lParam));
        result = 0;
        break;
    default:
        return FALSE;
    }
    return TRUE;
}

LRESULT CSkWindow::SendSkMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    m_handled = FALSE;
    if (m_retired)
        return 0;
    CSkItemUseScope inUse;
    LRESULT result = 0;
    m_handled = HandleSkMessage(msg, wParam, lParam, result);
    return result;
}

void CSkWindow::Retire()
{
    if (m_retired)
        return;
    m_retired = TRUE;
    SkItemRegistry::Instance().Unregister(m_handle);
}

void CSkWindow::SetText(const wchar_t* text)
{
    m_text = text ? text : L"";
    const BOOL autoWidth = (m_layoutFlags & SKL_WIDTH_AUTO) != 0;
    const BOOL autoHeight = (m_layoutFlags & SKL_HEIGHT_AUTO) != 0;
    if (!(autoWidth || autoHeight) || m_posCount == 4)
        return;
    SIZE size = {0, 0};
    SendSkMessage(SKM_MEASURE, FALSE, reinterpret_cast<LPARAM>(&size));
    if (autoWidth)
        m_rect.right = m_rect.left + size.cx;
    if (autoHeight)
        m_rect.bottom = m_rect.top + size.cy;
}

// The font the text is measured with: the own or nearest inherited font,
// and when hovered the own or nearest inherited hover font.
HFONT CSkWindow::MeasuringFont() const
{
    HFONT font = nullptr;
    HFONT hoverFont = nullptr;
    for (const CSkWindow* item = this; item && !(font && hoverFont); item = item->Parent()) {
        if (!font)
            font = item->m_style.font;
        if (!hoverFont)
            hoverFont = item->m_style.hoverfont;
    }
    if (IsHovered() && hoverFont)
        font = hoverFont;
    return font ? font : SkFontPool::Instance().FontForStyle(0);
}

void CSkWindow::MeasureItem(BOOL limited, SIZE& size)
{
    if (m_posCount == 4) {
        const int width = ResolvePos(m_pos[2], 0, size.cx) - ResolvePos(m_pos[0], 0, size.cx);
        const int height = ResolvePos(m_pos[3], 0, size.cy) - ResolvePos(m_pos[1], 0, size.cy);
        size = {width, height};
        return;
    }
    RECT rect = m_rect;
    if (limited)
        rect = {m_rect.left, m_rect.top, m_rect.left + size.cx, m_rect.top + size.cy};
    InflateRect(&rect, -m_style.xMargin, -m_style.yMargin);
    if (m_style.textmode & DT_WORDBREAK)
        rect.bottom = kWordBreakBottom;

    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    CMemoryDc dc(CreateCompatibleDC(screen));
    ReleaseDC(desktop, screen);
    HGDIOBJ oldFont = SelectObject(dc, MeasuringFont());
    DrawTextW(dc, m_text.GetString(), m_text.GetLength(), &rect, (m_style.textmode & ~0xFu) | DT_CALCRECT);
    SelectObject(dc, oldFont);
    size = {rect.right - rect.left + 2 * m_style.xMargin, rect.bottom - rect.top + 2 * m_style.yMargin};
}

void CSkWindow::PlaceItem(const WINDOWPOS& place)
{
    OffsetRect(&m_rect, place.x - m_rect.left, place.y - m_rect.top);
    SIZE size = {place.cx, place.cy};
    SendSkMessage(SKM_MEASURE, TRUE, reinterpret_cast<LPARAM>(&size));
    m_rect = {place.x, place.y, place.x + size.cx, place.y + size.cy};
    if (m_layoutFlags & SKL_WIDTH_FULL)
        m_rect.right = std::max<LONG>(m_rect.left, place.x + place.cx);
    else if (m_layoutFlags & SKL_WIDTH_FIXED)
        m_rect.right = m_rect.left + m_fixedWidth;
    if (m_layoutFlags & SKL_HEIGHT_FULL)
        m_rect.bottom = std::max<LONG>(m_rect.top, place.y + place.cy);
    else if (m_layoutFlags & SKL_HEIGHT_FIXED)
        m_rect.bottom = m_rect.top + m_fixedHeight;
}

void CSkWindow::DrawItemText(HDC hdc)
{
    CSkAppliedTextStyle applied(*this, hdc);
    RECT rect = applied.TextRect();
    DrawTextW(hdc, m_text.GetString(), m_text.GetLength(), &rect, m_style.textmode);
}

CSkWindow* CSkWindow::Parent() const
{
    return m_parentHandle ? FindSkWindow(m_parentHandle) : nullptr;
}

BOOL CSkWindow::IsDisabledInTree() const
{
    for (const CSkWindow* item = this; item; item = item->Parent())
        if (item->m_state & SKS_DISABLED)
            return TRUE;
    return FALSE;
}

BOOL CSkWindow::IsHiddenInTree() const
{
    for (const CSkWindow* item = this; item; item = item->Parent())
        if (item->m_state & SKS_HIDDEN)
            return TRUE;
    return FALSE;
}
