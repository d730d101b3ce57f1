#include "skin/SkImageDraw.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "base/Handle.h"

namespace {

// A memory DC compatible with the screen holding one bitmap for a scope.
class CBitmapDc {
public:
    explicit CBitmapDc(HBITMAP bitmap) : m_dc(CreateCompatibleDC(nullptr)), m_select(m_dc, bitmap) {}
    operator HDC() const noexcept { return m_dc; }

private:
    CMemoryDc m_dc;
    CSelectObject m_select;
};

// The pixels of a 32-bit bitmap, top row first. They are always read
// through GetDIBits: GetObject does not tell reliably whether a DIB section
// is stored top-down.
struct PixelRows {
    std::vector<DWORD> pixels;
    int width = 0;
    int height = 0;

    const BYTE* Row(int row) const { return reinterpret_cast<const BYTE*>(pixels.data() + row * width); }
};

BITMAPINFO DibInfo(int width, int height, WORD bitCount)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool ReadSourcePixels(HBITMAP bitmap, PixelRows& rows)
{
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof(info), &info) || info.bmBitsPixel != 32)
        return false;
    rows.width = info.bmWidth;
    rows.height = std::abs(info.bmHeight);
    if (rows.width <= 0 || rows.height <= 0)
        return false;
    rows.pixels.resize(static_cast<size_t>(rows.width) * rows.height);
    BITMAPINFO format = DibInfo(rows.width, -rows.height, 32);
    CMemoryDc dc(CreateCompatibleDC(nullptr));
    return GetDIBits(dc, bitmap, 0, rows.height, rows.pixels.data(), &format, DIB_RGB_COLORS) == rows.height;
}

BYTE Blend(BYTE source, BYTE destination, BYTE alpha)
{
    return static_cast<BYTE>((source * alpha + destination * (255 - alpha)) / 255);
}

// Cuts a source area of the given size at (sx, sy) to the bitmap; false
// when nothing of it is on the bitmap.
bool CutToBitmap(const SIZE& bitmap, int sx, int sy, int& width, int& height)
{
    if (sx < 0 || sy < 0 || sx >= bitmap.cx || sy >= bitmap.cy)
        return false;
    width = std::min(width, static_cast<int>(bitmap.cx) - sx);
    height = std::min(height, static_cast<int>(bitmap.cy) - sy);
    return width > 0 && height > 0;
}

} // namespace

int SubImageWidth(const SkinBitmap& image)
{
    if (image.subwidth <= 0)
        return 0;
    return std::min(image.subwidth, static_cast<int>(BitmapSize(image.bitmap).cx));
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, std::abs(info.bmHeight)};
}

BOOL DrawSkinImage(int sub, const SkinBitmap& image, HDC dc, int x, int y)
{
    if (!image.bitmap || (image.subwidth == 0 && sub != -1))
        return 0;
    SIZE size = BitmapSize(image.bitmap);
    const int subwidth = SubImageWidth(image);
    int width = sub == -1 ? size.cx : subwidth;
    int sx = sub == -1 ? 0 : sub * subwidth;
    // A sub-image past the bitmap's last column draws nothing.
    int height = size.cy;
    if (!CutToBitmap(size, sx, 0, width, height))
        return 0;
    switch (image.mode) {
    case kSkImageAlpha:
        return AlphaBlendBitmap(dc, image.bitmap, x, y, width, size.cy, sx);
    case kSkImageOpaque: {
        CBitmapDc source(image.bitmap);
        return BitBlt(dc, x, y, width, size.cy, source, sx, 0, SRCCOPY);
    }
    case kSkImageMask: {
        CBitmapDc source(image.bitmap);
        return TransparentBlitMasked(width, dc, x, y, size.cy, source, sx, 0, width, size.cy,
                                     image.maskColor);
    }
    default:
        return 0;
    }
}

BOOL AlphaBlendBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sx)
{
    PixelRows source;
    if (!bitmap || !ReadSourcePixels(bitmap, source) || width <= 0 || height <= 0)
        return 0;

    // The destination area in a 24-bit bottom-up DIB.
    BITMAPINFO info = DibInfo(width, height, 24);
    void* bits = nullptr;
    CBitmapHandle work(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!work)
        return 0;
    CMemoryDc workDc(CreateCompatibleDC(dc));
    CSelectObject selectWork(workDc, work);
    BitBlt(workDc, 0, 0, width, height, dc, x, y, SRCCOPY);
    GdiFlush();

    const int workStride = (width * 3 + 3) & ~3;
    const int rows = height < source.height ? height : source.height;
    for (int row = 0; row < rows; ++row) {
        const BYTE* from = source.Row(row);
        BYTE* to = static_cast<BYTE*>(bits) + (height - 1 - row) * workStride;
        for (int column = 0; column < width; ++column) {
            int sourceColumn = sx + column;
            if (sourceColumn < 0 || sourceColumn >= source.width)
                continue;
            const BYTE* pixel = from + sourceColumn * 4;
            BYTE* target = to + column * 3;
            for (int channel = 0; channel < 3; ++channel)
                target[channel] = Blend(pixel[channel], target[channel], pixel[3]);
        }
    }
    return BitBlt(dc, x, y, width, height, workDc, 0, 0, SRCCOPY);
}

BOOL TransparentBlitMasked(int width, HDC dc, int x, int y, int height, HDC source, int sx, int sy,
                           int sourceWidth, int sourceHeight, COLORREF maskColor)
{
    if (width <= 0 || height <= 0)
        return TRUE;
    CBitmapHandle colour(CreateCompatibleBitmap(dc, width, height));
    CBitmapHandle mask(CreateBitmap(width, height, 1, 1, nullptr));
    CMemoryDc colourDc(CreateCompatibleDC(dc));
    CMemoryDc maskDc(CreateCompatibleDC(dc));
    CSelectObject selectColour(colourDc, colour);
    CSelectObject selectMask(maskDc, mask);

    if (sourceWidth == width && sourceHeight == height)
        BitBlt(colourDc, 0, 0, width, height, source, sx, sy, SRCCOPY);
    else
        StretchBlt(colourDc, 0, 0, width, height, source, sx, sy, sourceWidth, sourceHeight, SRCCOPY);

    // Mask bits are 1 where the colour is the key.
    SetBkColor(colourDc, maskColor);
    BitBlt(maskDc, 0, 0, width, height, colourDc, 0, 0, SRCCOPY);

    // Keyed pixels of the colour copy become black.
    SetBkColor(colourDc, RGB(0, 0, 0));
    SetTextColor(colourDc, RGB(255, 255, 255));
    BitBlt(colourDc, 0, 0, width, height, maskDc, 0, 0, SRCAND);

    // Black out the opaque pixels of the destination, then paint them in.
    COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, width, height, maskDc, 0, 0, SRCAND);
    BitBlt(dc, x, y, width, height, colourDc, 0, 0, SRCPAINT);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    return TRUE;
}

BOOL DrawSkinImagePart(const SkinBitmap& image, HDC dc, int x, int y, int width, int height, int sx, int sy,
                       int sub)
{
    // A part of no size (a rectangle smaller than its borders) draws
    // nothing rather than a mirrored copy.
    if (!image.bitmap || width <= 0 || height <= 0)
        return 0;
    if (sub != -1)
        sx += sub * SubImageWidth(image);
    // Only what lies on the bitmap is copied.
    if (!CutToBitmap(BitmapSize(image.bitmap), sx, sy, width, height))
        return 0;
    CBitmapDc source(image.bitmap);
    switch (image.mode) {
    case kSkImageOpaque:
        return BitBlt(dc, x, y, width, height, source, sx, sy, SRCCOPY);
    case kSkImageMask:
        return TransparentBlitMasked(width, dc, x, y, height, source, sx, sy, width, height, image.maskColor);
    default:
        return 0; // alpha images are drawn whole only
    }
}

BOOL StretchSkinImagePart(const SkinBitmap& image, HDC dc, int x, int y, int width, int height, int sx,
                          int sy, int sourceWidth, int sourceHeight, int sub)
{
    if (!image.bitmap || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return 0;
    if (sub != -1)
        sx += sub * SubImageWidth(image);
    if (!CutToBitmap(BitmapSize(image.bitmap), sx, sy, sourceWidth, sourceHeight))
        return 0;
    CBitmapDc source(image.bitmap);
    switch (image.mode) {
    case kSkImageOpaque:
        return StretchBlt(dc, x, y, width, height, source, sx, sy, sourceWidth, sourceHeight, SRCCOPY);
    case kSkImageMask:
        return TransparentBlitMasked(width, dc, x, y, height, source, sx, sy, sourceWidth, sourceHeight,
                                     image.maskColor);
    default:
        return 0;
    }
}

void DrawSkinHorzFrame(const RECT& rect, int left, HDC dc, const SkinBitmap& image, int sub)
{
    if (!image.bitmap)
        return;
    SIZE size = BitmapSize(image.bitmap);
    const int subwidth = SubImageWidth(image);
    const int piece = subwidth > 0 ? subwidth : size.cx;
    RECT bar = rect;
    if (bar.right - bar.left < piece)
        bar.right = bar.left + piece;

    // A widened bar must not spill over the item's neighbours at the sides;
    // it keeps the bitmap's height whatever the rectangle's.
    int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, bar.top, rect.right, bar.top + size.cy);
    const int rightCap = piece - left - 1;
    const int middle = bar.right - bar.left - piece + 1;
    if (left > 0)
        DrawSkinImagePart(image, dc, bar.left, bar.top, left, size.cy, 0, 0, sub);
    if (rightCap > 0)
        DrawSkinImagePart(image, dc, bar.right - rightCap, bar.top, rightCap, size.cy, left + 1, 0, sub);
    if (middle > 0)
        StretchSkinImagePart(image, dc, bar.left + left, bar.top, middle, size.cy, left, 0, 1, size.cy, sub);
    RestoreDC(dc, saved);
}

BOOL CreateBackBuffer(HBITMAP& bitmap, int width, int height)
{
    CWindowDc screen(nullptr);
    bitmap = CreateCompatibleBitmap(screen, width, height);
    if (!bitmap)
        return FALSE;
    CMemoryDc memory(CreateCompatibleDC(screen));
    CSelectObject select(memory, bitmap);
    SetBkColor(memory, RGB(0, 0, 0));
    RECT all{0, 0, width, height};
    ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    return TRUE;
}
