// "imghorzex": a bar stretched horizontally from one column of a bitmap,
// with a sub-image per state (0 normal, 1 hover, 2 pushed, 3 disabled).
#pragma once

#include "skin/SkImageSkin.h"

class CSkSkinImgHorzExtend : public CSkSkinBase {
public:
    const char* TagName() const override { return "imghorzex"; }
    // The image's attributes first, then "left"; everything else is refused.
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    void Draw(HDC dc, const RECT& rect, int state) const override;
    SIZE GetSkinSize() const override;
    BOOL IgnoresState() const override { return m_image.Image().subwidth == 0; }

    const CSkImageSkin& ImageSkin() const noexcept { return m_image; }
    int Left() const noexcept { return m_left; }

    // The sub-image shown for an owner state (-1 stays -1).
    static int SubIndexForState(int state);

private:
    CSkImageSkin m_image;
    int m_left = 0;
};
