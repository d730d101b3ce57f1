// "imgframe": a frame stretched over the rectangle from a bitmap cut into
// corners (unstretched), bands (stretched from the row and column at the
// "top" and "left" indexes) and a centre filled with a plain colour.
#pragma once

#include "skin/SkImageSkin.h"

// Bands of the "part" mask; bit 0x02 is set by every keyword and draws
// nothing.
enum SkFramePart {
    kSkFrameTop = 0x01,
    kSkFrameBottom = 0x04,
    kSkFrameLeft = 0x08,
    kSkFrameRight = 0x20,
};

class CSkSkinImgFrame : public CSkSkinBase {
public:
    const char* TagName() const override { return "imgframe"; }
    // The image's attributes first, then "crbg", "left", "top", "part".
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    void Draw(HDC dc, const RECT& rect, int state) const override;
    SIZE GetSkinSize() const override { return SIZE{0, 0}; }
    BOOL IgnoresState() const override { return m_image.Image().subwidth == 0; }

    const CSkImageSkin& ImageSkin() const noexcept { return m_image; }
    int Left() const noexcept { return m_left; }
    int Top() const noexcept { return m_top; }
    COLORREF Background() const noexcept { return m_background; }
    int PartMask() const noexcept { return m_partMask; }

private:
    CSkImageSkin m_image;
    int m_left = 0;
    int m_top = 0;
    COLORREF m_background = CLR_INVALID;
    int m_partMask = 0x2F;
};
