#include "skin/SkSkinImgFrame.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>

#include "skin/SkHex.h"
#include "skin/SkImageDraw.h"

namespace {

struct PartKeyword {
    const char* keyword;
    int mask;
};

const PartKeyword kParts[] = {
    {"all", 0x2F},  {"top", 0x2B},    {"middle", 0x2A}, {"bottom", 0x2E},
    {"left", 0x0F}, {"center", 0x07}, {"right", 0x27},
};

void FillRect(HDC dc, const RECT& rect, COLORREF colour)
{
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

} // namespace

HRESULT CSkSkinImgFrame::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    HRESULT taken = m_image.ApplyAttribute(name, value, loading);
    if (taken >= 0)
        return taken;
    if (std::strcmp(name, "crbg") == 0) {
        m_background = ParseColor(value);
        return S_OK;
    }
    if (std::strcmp(name, "left") == 0) {
        m_left = StrToIntA(value);
        return S_OK;
    }
    if (std::strcmp(name, "top") == 0) {
        m_top = StrToIntA(value);
        return S_OK;
    }
    if (std::strcmp(name, "part") == 0) {
        for (const PartKeyword& part : kParts) {
            if (std::strcmp(value, part.keyword) == 0) {
                m_partMask = part.mask;
                return S_OK;
            }
        }
        return E_FAIL;
    }
    return E_FAIL;
}

void CSkSkinImgFrame::Draw(HDC dc, const RECT& rect, int) const
{
    const SkinBitmap& image = m_image.Image();
    if (!image.bitmap)
        return;
    const SIZE size = BitmapSize(image.bitmap);
    // The stretched row and column lie on the bitmap, whatever the layout says.
    const int l = std::max(0, std::min(m_left, static_cast<int>(size.cx) - 1));
    const int t = std::max(0, std::min(m_top, static_cast<int>(size.cy) - 1));
    const int m = m_partMask;
    const bool top = (m & kSkFrameTop) != 0;
    const bool bottom = (m & kSkFrameBottom) != 0;
    const bool left = (m & kSkFrameLeft) != 0;
    const bool right = (m & kSkFrameRight) != 0;
    const int b = bottom ? size.cy - t - 1 : 0;
    const int rw = right ? size.cx - l - 1 : 0;

    RECT inner;
    inner.left = left ? rect.left + l : rect.left;
    inner.top = top ? rect.top + t : rect.top;
    inner.right = rect.right - rw;
    inner.bottom = rect.bottom - b;
    const int innerWidth = inner.right - inner.left;
    const int innerHeight = inner.bottom - inner.top;

    if (top && left)
        DrawSkinImagePart(image, dc, rect.left, rect.top, l, t, 0, 0, -1);
    if (top && right)
        DrawSkinImagePart(image, dc, inner.right, rect.top, rw, t, l + 1, 0, -1);
    if (left && bottom)
        DrawSkinImagePart(image, dc, rect.left, inner.bottom, l, b, 0, t + 1, -1);
    if (right && bottom)
        DrawSkinImagePart(image, dc, inner.right, inner.bottom, rw, b, l + 1, t + 1, -1);

    if (top)
        StretchSkinImagePart(image, dc, inner.left, rect.top, innerWidth, t, l, 0, 1, t, -1);
    if (left)
        StretchSkinImagePart(image, dc, rect.left, inner.top, l, innerHeight, 0, t, l, 1, -1);
    if (bottom)
        StretchSkinImagePart(image, dc, inner.left, inner.bottom, innerWidth, b, l, t + 1, 1, b, -1);
    if (right)
        StretchSkinImagePart(image, dc, inner.right, inner.top, rw, innerHeight, l + 1, t, rw, 1, -1);

    if (m_background != CLR_INVALID)
        FillRect(dc, inner, m_background);
}
