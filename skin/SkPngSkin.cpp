#include "skin/SkPngSkin.h"

#include <shlwapi.h>

#include <cstring>

#include "skin/SkPngPool.h"

HRESULT CSkPngSkin::ApplyAttribute(const char* name, const char* value, BOOL)
{
    if (std::strcmp(name, "src") == 0) {
        m_sourceId = StrToIntA(value);
        return S_OK;
    }
    if (std::strcmp(name, "subwidth") == 0) {
        m_subwidth = StrToIntA(value);
        return S_OK;
    }
    return E_FAIL;
}

BOOL CSkPngSkin::LoadFromXml(const TiXmlElement* element)
{
    BOOL loaded = CSkSkinBase::LoadFromXml(element);
    if (m_sourceId != 0)
        m_image = SkPngPool::Instance().GetImage(static_cast<UINT>(m_sourceId));
    return loaded;
}

SIZE CSkPngSkin::GetSkinSize() const
{
    if (!m_image)
        return SIZE{0, 0};
    int width = m_subwidth != 0 ? m_subwidth : static_cast<int>(m_image->GetWidth());
    return SIZE{width, static_cast<int>(m_image->GetHeight())};
}

void CSkPngSkin::Draw(HDC dc, const RECT& rect, int state) const
{
    if (!m_image)
        return;
    Gdiplus::Graphics graphics(dc);
    const SIZE size = GetSkinSize();
    if (m_subwidth != 0) {
        Gdiplus::Rect target(static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                             static_cast<INT>(size.cx), static_cast<INT>(size.cy));
        graphics.DrawImage(m_image, target, state * m_subwidth, 0, size.cx, size.cy, Gdiplus::UnitPixel);
    } else {
        graphics.DrawImage(m_image, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                           static_cast<INT>(size.cx), static_cast<INT>(size.cy));
    }
}
