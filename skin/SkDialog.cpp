#include "skin/SkDialog.h"

#include <shlwapi.h>

#include <cstring>

#include <tinyxml.h>

#include "skin/SkItemFactory.h"

BOOL CSkDialog::LoadFromXml(const TiXmlElement* element)
{
    if (!CSkWindow::LoadFromXml(element))
        return FALSE;
    CreateChildren(this, element->FirstChildElement());
    return TRUE;
}

HRESULT CSkDialog::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "onlydrawchild") == 0) {
        m_onlyDrawChild = StrToIntA(value);
        return S_OK;
    }
    return E_FAIL;
}

UINT CSkDialog::HitTest(POINT point)
{
    if (!PtInRect(&m_rect, point))
        return 0;
    if (m_onlyDrawChild)
        return m_handle;
    if (UINT hit = HitTestChildren(point, true))
        return hit;
    if (UINT hit = HitTestChildren(point, false))
        return hit;
    return m_handle;
}

UINT CSkDialog::HitTestChildren(POINT point, bool floating)
{
    for (const auto& child : Children()) {
        if ((child->m_state & SKS_HIDDEN) || child->m_transparent)
            continue;
        if (((child->m_layoutFlags & SKL_FLOATING) != 0) != floating)
            continue;
        if (UINT hit = child->HitTest(point))
            return hit;
    }
    return 0;
}

BOOL CSkDialog::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg != SKM_PLACE)
        return CSkPanel::HandleSkMessage(msg, wParam, lParam, result);
    PlaceItem(*reinterpret_cast<const WINDOWPOS*>(lParam));
    RepositionChildren();
    return TRUE;
}

CSkWindow* CSkDialog::FindItemById(UINT id)
{
    for (const auto& child : Children())
        if (child->m_id == id)
            return child.get();
    for (const auto& child : Children())
        if (CSkContainerWnd* container = AsContainer(child.get()))
            if (CSkWindow* found = container->FindItemById(id))
                return found;
    return nullptr;
}

void CSkDialog::RepositionChildren()
{
    for (const auto& child : Children())
        RepositionChild(child.get());
}

void CSkDialog::RepositionChild(CSkWindow* child)
{
    RECT inner = m_rect;
    InflateRect(&inner, -m_style.xMargin, -m_style.yMargin);
    WINDOWPOS place = {};
    place.x = ResolvePos(child->m_pos[0], inner.left, inner.right);
    place.y = ResolvePos(child->m_pos[1], inner.top, inner.bottom);
    place.cx = inner.right - inner.left;
    place.cy = inner.bottom - inner.top;
    child->SendSkMessage(SKM_PLACE, 0, reinterpret_cast<LPARAM>(&place));
}
