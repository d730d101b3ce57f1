#include "skin/SkTabCtrl.h"

#include <shlwapi.h>
#include <windowsx.h>

#include <cstring>
#include <memory>

#include <tinyxml.h>

#include "base/NotifyRecord.h"
#include "skin/SkItemRelease.h"
#include "skin/SkItemRepaint.h"
#include "skin/SkNotify.h"
#include "skin/SkSkinPool.h"
#include "skin/SkTab.h"

namespace {

// DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS
const UINT kTitleFormat = 0x8925;
static_assert(kTitleFormat ==
                  (DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS),
              "tab title format");

bool Is(const char* text, const char* expected)
{
    return text && std::strcmp(text, expected) == 0;
}

RECT Offset(RECT rect, int dx, int dy)
{
    OffsetRect(&rect, dx, dy);
    return rect;
}

} // namespace

BOOL CSkTabCtrl::LoadFromXml(const TiXmlElement* element)
{
    if (!CSkWindow::LoadFromXml(element))
        return FALSE;
    SendSkMessage(SKM_DESTROY);

    int index = -1;
    int firstVisible = -1;
    BOOL showNext = TRUE;
    for (const TiXmlElement* child = element->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        if (!Is(child->Value(), "tab"))
            continue;
        auto page = std::make_unique<CSkTab>();
        ++index;
        page->m_parentHandle = m_handle;
        page->SetHostWindow(m_hostWindow);
        page->LoadFromXml(child);
        page->ApplyAttribute("pos", "0,0,-0,-0", TRUE); // the page fills the frame
        const BOOL shown = showNext && page->m_hide == 0;
        page->SendSkMessage(SKM_SHOW, shown);
        if (shown) {
            firstVisible = index;
            if (m_cursel == 0)
                m_cursel = index;
            showNext = FALSE;
        }
        AppendChild(std::move(page));
    }

    CSkTab* selected = GetTab(m_cursel);
    if (selected && selected->m_hide && firstVisible >= 0 && m_cursel > 0)
        m_cursel = firstVisible;
    // A "cursel" naming another page than the first with a tab: that page is
    // the one shown, as it is the one drawn and hit-tested.
    selected = GetTab(m_cursel);
    if (selected && m_cursel != firstVisible && selected->m_hide == 0) {
        if (CSkTab* first = GetTab(firstVisible))
            first->SendSkMessage(SKM_SHOW, FALSE);
        selected->SendSkMessage(SKM_SHOW, TRUE);
    }
    return TRUE;
}

HRESULT CSkTabCtrl::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    struct IntField {
        const char* name;
        int CSkTabCtrl::*field;
    };
    static const IntField kIntFields[] = {
        {"cursel", &CSkTabCtrl::m_cursel},         {"tabwidth", &CSkTabCtrl::m_tabWidth},
        {"tabheight", &CSkTabCtrl::m_tabHeight},   {"tabpos", &CSkTabCtrl::m_tabPos},
        {"tabspacing", &CSkTabCtrl::m_tabSpacing}, {"framepos", &CSkTabCtrl::m_framePos},
        {"icon-x", &CSkTabCtrl::m_iconX},          {"icon-y", &CSkTabCtrl::m_iconY},
        {"text-x", &CSkTabCtrl::m_textX},          {"text-y", &CSkTabCtrl::m_textY},
    };
    for (const IntField& f : kIntFields) {
        if (Is(name, f.name)) {
            this->*f.field = StrToIntA(value);
            return S_FALSE;
        }
    }
    struct SkinField {
        const char* name;
        const CSkSkinBase* CSkTabCtrl::*field;
    };
    static const SkinField kSkinFields[] = {
        {"tabskin", &CSkTabCtrl::m_tabSkin},
        {"frameskin", &CSkTabCtrl::m_frameSkin},
        {"iconskin", &CSkTabCtrl::m_iconSkin},
        {"splitterskin", &CSkTabCtrl::m_splitterSkin},
    };
    for (const SkinField& f : kSkinFields) {
        if (Is(name, f.name)) {
            this->*f.field = FindSkin(value);
            return S_FALSE;
        }
    }
    if (Is(name, "tabalign")) {
        if (Is(value, "top"))
            m_tabAlign = 0;
        else if (Is(value, "left"))
            m_tabAlign = 1;
        else
            return E_FAIL;
        return S_OK;
    }
    return E_FAIL;
}

void CSkTabCtrl::UpdateCursor()
{
    SetCursor(LoadCursorW(nullptr, m_hover != -1 ? IDC_HAND : IDC_ARROW));
}

CSkTab* CSkTabCtrl::GetTab(int index) const
{
    return InRange(index) ? static_cast<CSkTab*>(Children()[index].get()) : nullptr;
}

SIZE CSkTabCtrl::TabSize() const
{
    const SIZE skinSize = m_tabSkin ? m_tabSkin->GetSkinSize() : SIZE{0, 0};
    return {m_tabWidth ? m_tabWidth : skinSize.cx, m_tabHeight ? m_tabHeight : skinSize.cy};
}

BOOL CSkTabCtrl::GetTabRect(int index, RECT& rect) const
{
    if (!InRange(index))
        return FALSE;
    const SIZE size = TabSize();
    rect = {m_rect.left, m_rect.top, m_rect.left + size.cx, m_rect.top + size.cy};
    int before = 0;
    for (int i = 0; i < index; ++i)
        before += GetTab(i)->m_hide == 0;
    if (m_tabAlign == 0)
        OffsetRect(&rect, before * (m_tabSpacing + size.cx) + m_tabPos, 0);
    else
        OffsetRect(&rect, 0, before * (m_tabSpacing + size.cy) + m_tabPos);
    return TRUE;
}

BOOL CSkTabCtrl::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
    case SKM_DESTROY:
        DestroyChildren();
        return TRUE;
    case SKM_PAINT:
        Paint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case SKM_SHOW:
        CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
        if (CSkTab* page = GetTab(m_cursel))
            page->SendSkMessage(SKM_SHOW, wParam, lParam);
        return TRUE;
    case SKM_PLACE:
        Place(*reinterpret_cast<const WINDOWPOS*>(lParam));
        return TRUE;
    case SKM_MOUSEMOVE:
        OnMouseMove(point);
        return TRUE;
    case SKM_LBUTTONDOWN: {
        const int index = TabAt(point);
        if (index != -1)
            SelectTab(index);
        return TRUE;
    }
    case SKM_MOUSELEAVE:
        OnMouseLeave();
        return TRUE;
    default:
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    }
}

void CSkTabCtrl::Place(const WINDOWPOS& place)
{
    PlaceItem(place);
    const SIZE size = TabSize();
    m_frame = m_rect;
    if (m_tabAlign == 0)
        m_frame.top += size.cy + m_framePos;
    else
        m_frame.left += size.cx + m_framePos;
    InflateRect(&m_frame, -m_style.xMargin, -m_style.yMargin);
    for (int i = 0; i < TabCount(); ++i)
        PlacePage(GetTab(i), place);
}

void CSkTabCtrl::PlacePage(CSkTab* page, const WINDOWPOS& base)
{
    WINDOWPOS place = base;
    place.x = m_frame.left;
    place.y = m_frame.top;
    place.cx = m_frame.right - m_frame.left;
    place.cy = m_frame.bottom - m_frame.top;
    page->SendSkMessage(SKM_PLACE, 0, reinterpret_cast<LPARAM>(&place));
}

void CSkTabCtrl::Paint(HDC hdc)
{
    const SIZE size = TabSize();
    RECT drawnFrame = m_rect;
    if (m_tabAlign == 0)
        drawnFrame.top += size.cy + m_framePos;
    else
        drawnFrame.left += size.cx + m_framePos;
    if (m_frameSkin)
        m_frameSkin->Draw(hdc, drawnFrame, 0);

    const int oldBkMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldTextColour = GetTextColor(hdc);
    const HGDIOBJ oldFont = GetCurrentObject(hdc, OBJ_FONT);
    if (m_style.crtext != CLR_INVALID)
        SetTextColor(hdc, m_style.crtext);
    if (m_style.font)
        SelectObject(hdc, m_style.font);

    int visible = 0;
    for (int i = 0; i < TabCount(); ++i)
        visible += GetTab(i)->m_hide == 0;
    for (int i = 0; i < TabCount(); ++i) {
        if (GetTab(i)->m_hide)
            continue;
        RECT tab;
        GetTabRect(i, tab);
        if (m_splitterSkin && visible > 1) {
            --visible;
            DrawSplitter(hdc, tab);
        }
        if (i != m_cursel)
            DrawTab(hdc, i, i == m_hover ? 1 : 0);
    }

    if (m_style.hoverfont)
        SelectObject(hdc, m_style.hoverfont);
    if (m_style.crhover != CLR_INVALID)
        SetTextColor(hdc, m_style.crhover);
    if (CSkTab* selected = GetTab(m_cursel))
        if (selected->m_hide == 0)
            DrawTab(hdc, m_cursel, 2);

    SelectObject(hdc, oldFont);
    SetTextColor(hdc, oldTextColour);
    SetBkMode(hdc, oldBkMode);
}

// A splitter of its own size centred in the gap after the tab.
void CSkTabCtrl::DrawSplitter(HDC hdc, const RECT& tab) const
{
    const SIZE splitter = m_splitterSkin->GetSkinSize();
    RECT rect;
    if (m_tabAlign == 0) {
        rect = {tab.right, tab.top, tab.right + m_tabSpacing, tab.bottom};
        const int narrow = (m_tabSpacing - splitter.cx) / 2;
        rect.left += narrow;
        rect.right -= narrow;
    } else {
        rect = {tab.left, tab.bottom, tab.right, tab.bottom + m_tabSpacing};
        const int narrow = (m_tabSpacing - splitter.cy) / 2;
        rect.top += narrow;
        rect.bottom -= narrow;
    }
    m_splitterSkin->Draw(hdc, rect, -1);
}

void CSkTabCtrl::DrawTab(HDC hdc, int index, int skinState) const
{
    RECT tab;
    GetTabRect(index, tab);
    if (m_tabSkin)
        m_tabSkin->Draw(hdc, tab, skinState);
    if (m_iconSkin)
        m_iconSkin->Draw(hdc, Offset(tab, m_iconX, m_iconY), index);
    const CString& title = GetTab(index)->m_title;
    RECT textRect = Offset(tab, m_textX, m_textY);
    DrawTextW(hdc, title.GetString(), title.GetLength(), &textRect, kTitleFormat);
}

BOOL CSkTabCtrl::DrawInRegion(HDC hdc, HRGN region)
{
    const BOOL drew = CSkWindow::DrawInRegion(hdc, region);
    if (drew)
        if (CSkTab* selected = GetTab(m_cursel))
            selected->DrawInRegion(hdc, region);
    return drew;
}

UINT CSkTabCtrl::HitTest(POINT point)
{
    if (!PtInRect(&m_rect, point))
        return 0;
    if (!PtInRect(&m_frame, point))
        return m_handle;
    CSkTab* selected = GetTab(m_cursel);
    return selected ? selected->HitTest(point) : m_handle;
}

int CSkTabCtrl::TabAt(POINT point) const
{
    for (int i = 0; i < TabCount(); ++i) {
        if (GetTab(i)->m_hide || i == m_cursel)
            continue;
        RECT tab;
        GetTabRect(i, tab);
        if (PtInRect(&tab, point))
            return i;
    }
    return -1;
}

void CSkTabCtrl::RepaintTab(int index)
{
    RECT tab;
    if (GetTabRect(index, tab))
        InvalidateItemRect(tab, *this);
}

void CSkTabCtrl::OnMouseMove(POINT point)
{
    const int index = TabAt(point);
    if (index != -1)
        RepaintTab(index);
    if (index != m_hover && m_hover != -1)
        RepaintTab(m_hover);
    m_hover = index;
}

void CSkTabCtrl::OnMouseLeave()
{
    if (m_hover == -1)
        return;
    RepaintTab(m_hover);
    m_hover = -1;
}

BOOL CSkTabCtrl::AskOwner(int index)
{
    const int viewId = m_hostWindow ? GetDlgCtrlID(m_hostWindow) : 0;
    SkTabChangeNotify notify = {};
    notify.hdr.hwndFrom = m_hostWindow;
    notify.hdr.idFrom = static_cast<UINT_PTR>(viewId);
    notify.hdr.code = SKN_TAB_CHANGING;
    notify.tabCtrlId = m_id;
    notify.newSel = index;
    notify.oldSel = m_cursel;
    notify.cancel = FALSE;
    if (m_hostWindow)
        SendNotifyRecord(m_hostWindow, static_cast<WPARAM>(viewId), notify);
    return !notify.cancel;
}

BOOL CSkTabCtrl::SelectTab(int index)
{
    // The owner may replace the control itself while it is asked: the
    // control then stays in memory until this returns, and does no more.
    CSkItemUseScope inUse;
    if (!AskOwner(index) || IsRetired())
        return FALSE;
    if (index == m_cursel)
        return TRUE;
    CSkTab* old = GetTab(m_cursel);
    if (!InRange(index)) {
        if (!old)
            return FALSE;
        RepaintTab(m_cursel);
        old->SendSkMessage(SKM_SHOW, FALSE);
        m_cursel = index;
        return FALSE;
    }
    if (old) {
        RepaintTab(m_cursel);
        old->SendSkMessage(SKM_SHOW, FALSE);
    }
    RepaintTab(index);
    m_cursel = index;
    CSkTab* page = GetTab(index);
    page->SendSkMessage(SKM_SHOW, TRUE);
    WINDOWPOS place = {};
    PlacePage(page, place);
    InvalidateItemRect(m_frame, *this);
    return TRUE;
}

CSkWindow* CSkTabCtrl::FindItemById(UINT id)
{
    for (int i = 0; i < TabCount(); ++i) {
        CSkTab* page = GetTab(i);
        if (page->m_id == id)
            return page;
        if (CSkWindow* found = page->FindItemById(id))
            return found;
    }
    return nullptr;
}

void CSkTabCtrl::ShowRealWindows(BOOL show)
{
    for (int i = 0; i < TabCount(); ++i)
        GetTab(i)->ShowRealWindows(i == m_cursel ? show : FALSE);
}
