// "png": a PNG image from the PNG pool, or one of its sub-images, at its own
// size from the rectangle's top-left corner, with its alpha channel.
#pragma once

#include "skin/SkSkinBase.h"

namespace Gdiplus {
class Image;
}

class CSkPngSkin : public CSkSkinBase {
public:
    const char* TagName() const override { return "png"; }
    // "src" (the PNG id) and "subwidth".
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    // The attributes, then the image of "src" when it is not 0.
    BOOL LoadFromXml(const TiXmlElement* element) override;
    // With a subwidth the state is the sub-image index.
    void Draw(HDC dc, const RECT& rect, int state) const override;
    SIZE GetSkinSize() const override;
    BOOL IgnoresState() const override { return m_subwidth == 0; }

    Gdiplus::Image* Image() const noexcept { return m_image; }
    int SourceId() const noexcept { return m_sourceId; }
    int Subwidth() const noexcept { return m_subwidth; }

private:
    Gdiplus::Image* m_image = nullptr; // owned by the PNG pool
    int m_sourceId = 0;
    int m_subwidth = 0;
};
