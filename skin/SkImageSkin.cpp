#include "skin/SkImageSkin.h"

#include <shlwapi.h>

#include <cstring>

#include "skin/SkBmpPool.h"
#include "skin/SkHex.h"
#include "skin/SkImageDraw.h"

HRESULT CSkImageSkin::ApplyAttribute(const char* name, const char* value, BOOL)
{
    if (std::strcmp(name, "src") == 0) {
        m_image.bitmap = SkBmpPool::Instance().GetBitmap(static_cast<UINT>(StrToIntA(value)));
        return S_OK;
    }
    if (std::strcmp(name, "mode") == 0) {
        if (std::strcmp(value, "none") == 0)
            m_image.mode = kSkImageOpaque;
        else if (std::strcmp(value, "mask") == 0)
            m_image.mode = kSkImageMask;
        else if (std::strcmp(value, "alpha") == 0)
            m_image.mode = kSkImageAlpha;
        else
            return E_FAIL;
        return S_OK;
    }
    if (std::strcmp(name, "maskcolor") == 0) {
        m_image.maskColor = ParseColor(value);
        return S_OK;
    }
    if (std::strcmp(name, "subwidth") == 0) {
        m_image.subwidth = StrToIntA(value);
        return S_OK;
    }
    return E_FAIL;
}

void CSkImageSkin::Draw(HDC dc, const RECT& rect, int state) const
{
    DrawSkinImage(state, m_image, dc, rect.left, rect.top);
}

SIZE CSkImageSkin::GetSkinSize() const
{
    if (!m_image.bitmap)
        return SIZE{0, 0};
    SIZE size = BitmapSize(m_image.bitmap);
    if (m_image.subwidth > 0)
        size.cx = SubImageWidth(m_image);
    return size;
}
