// Holder of the image of a bitmap skin.
#pragma once

#include "skin/SkinBitmap.h"

class CSkImage {
public:
    const SkinBitmap& Image() const noexcept { return m_image; }

protected:
    SkinBitmap m_image;
};
