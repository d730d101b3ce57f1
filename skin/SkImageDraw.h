// GDI drawing of skin images: whole, partial and stretched blits with a
// colour key or per-pixel alpha, the three-part horizontal bar, and the
// view's back buffer.
#pragma once

#include <windows.h>

#include "skin/SkinBitmap.h"

// Draws sub-image sub (-1: the whole bitmap) at its own size at (x, y).
// Draws nothing and returns 0 without a bitmap, for sub >= 0 without a
// subwidth, and for an unknown mode.
BOOL DrawSkinImage(int sub, const SkinBitmap& image, HDC dc, int x, int y);

// Blends columns sx .. sx + width - 1 of a 32-bit bitmap with straight alpha
// in its fourth byte onto dc at (x, y): per channel
// out = (source * alpha + destination * (255 - alpha)) / 255. Returns 0 for a
// bitmap that is not 32 bits per pixel.
BOOL AlphaBlendBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sx);

// Copies (stretching when the sizes differ) a source area onto
// width x height of dc at (x, y); source pixels of the mask colour leave the
// destination as it was. Always TRUE.
BOOL TransparentBlitMasked(int width, HDC dc, int x, int y, int height, HDC source, int sx, int sy,
                           int sourceWidth, int sourceHeight, COLORREF maskColor);

// A width x height part of the image from (sx, sy) of sub-image sub (-1:
// the whole bitmap), opaque or keyed; alpha images draw nothing (0).
BOOL DrawSkinImagePart(const SkinBitmap& image, HDC dc, int x, int y, int width, int height, int sx, int sy,
                       int sub);

// The same, stretching sourceWidth x sourceHeight onto width x height.
BOOL StretchSkinImagePart(const SkinBitmap& image, HDC dc, int x, int y, int width, int height, int sx,
                          int sy, int sourceWidth, int sourceHeight, int sub);

// A bar that stretches horizontally, at the bitmap's height from rect's
// top: the columns of the (sub-)image before column left are the left cap,
// column left is stretched, the columns after it are the right cap. A
// rectangle narrower than one piece is drawn as a piece wide, but nothing
// is painted outside rect.
void DrawSkinHorzFrame(const RECT& rect, int left, HDC dc, const SkinBitmap& image, int sub);

// A width x height bitmap compatible with the screen, filled with black.
BOOL CreateBackBuffer(HBITMAP& bitmap, int width, int height);

// The size of a bitmap (height always positive); 0 x 0 for none.
SIZE BitmapSize(HBITMAP bitmap);
// The width of one sub-image as drawn: the subwidth, at most the bitmap's
// width; 0 when the bitmap is one image.
int SubImageWidth(const SkinBitmap& image);
