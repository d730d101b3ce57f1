#include "skin/SkSkinImgHorzExtend.h"

#include <shlwapi.h>

#include <cstring>

#include "skin/SkImageDraw.h"

HRESULT CSkSkinImgHorzExtend::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    HRESULT taken = m_image.ApplyAttribute(name, value, loading);
    if (taken >= 0)
        return taken;
    if (std::strcmp(name, "left") == 0) {
        m_left = StrToIntA(value);
        return S_OK;
    }
    return E_FAIL;
}

int CSkSkinImgHorzExtend::SubIndexForState(int state)
{
    if (state == -1)
        return -1;
    if (state & 0x10)
        return 3;
    if (state & 0x02)
        return 2;
    if (state & 0x01)
        return 1;
    return 0;
}

void CSkSkinImgHorzExtend::Draw(HDC dc, const RECT& rect, int state) const
{
    if (!m_image.Image().bitmap)
        return;
    DrawSkinHorzFrame(rect, m_left, dc, m_image.Image(), SubIndexForState(state));
}

SIZE CSkSkinImgHorzExtend::GetSkinSize() const
{
    return SIZE{0, BitmapSize(m_image.Image().bitmap).cy};
}
