// "imglst": a bitmap, or one of its sub-images, at its own size from the
// rectangle's top-left corner.
#pragma once

#include "skin/SkImage.h"
#include "skin/SkSkinBase.h"

class CSkImageSkin : public CSkSkinBase, public CSkImage {
public:
    const char* TagName() const override { return "imglst"; }
    // "src" bitmap id, "mode" none/mask/alpha, "maskcolor", "subwidth".
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    // The state is the sub-image index: -1 the whole bitmap, n >= 0 sub-image
    // n (which needs a subwidth).
    void Draw(HDC dc, const RECT& rect, int state) const override;
    SIZE GetSkinSize() const override;
    BOOL IgnoresState() const override { return m_image.subwidth == 0; }
};
