// An image of a skin: a bitmap from the bitmap pool, cut into sub-images of
// subwidth columns each (0: one image), drawn opaque, with a colour key or
// with per-pixel alpha. Sub-image n covers the columns n * subwidth to
// (n + 1) * subwidth - 1 over the whole height; index -1 is the whole bitmap.
#pragma once

#include <windows.h>

enum SkImageMode {
    kSkImageOpaque = 0,
    kSkImageMask = 1,
    kSkImageAlpha = 2,
};

struct SkinBitmap {
    HBITMAP bitmap = nullptr; // owned by the bitmap pool
    int subwidth = 0;
    int mode = kSkImageOpaque;
    COLORREF maskColor = RGB(255, 0, 255);
};
