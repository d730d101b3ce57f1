// A 32-bit top-down DIB section selected into a memory DC, to draw into and
// read pixels back from.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class DibCanvas {
public:
    DibCanvas(int width, int height, COLORREF fill = RGB(1, 2, 3)) : m_width(width), m_height(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap =
            CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        if (!m_bitmap)
            return;
        m_old = SelectObject(m_dc, m_bitmap);
        Fill(fill);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    ~DibCanvas()
    {
        if (m_old)
            SelectObject(m_dc, m_old);
        if (m_bitmap)
            DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }

    // False when the bitmap could not be made (then nothing draws into it).
    bool Ok() const { return m_bits != nullptr; }
    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Fill(COLORREF colour)
    {
        GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i)
            m_bits[i] = Pack(colour);
    }

    // The colour at (x, y) as a COLORREF (the fourth byte dropped).
    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        DWORD value = m_bits[y * m_width + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }

    // Every pixel, row by row from the top, as COLORREFs.
    std::vector<COLORREF> Pixels() const
    {
        GdiFlush();
        std::vector<COLORREF> pixels(static_cast<size_t>(m_width) * m_height);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = RGB((m_bits[i] >> 16) & 0xFF, (m_bits[i] >> 8) & 0xFF, m_bits[i] & 0xFF);
        return pixels;
    }

    // The number of pixels that are not colour.
    int CountOtherThan(COLORREF colour) const
    {
        int count = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                count += Pixel(x, y) != colour;
        return count;
    }

private:
    static DWORD Pack(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

// Prints a COLORREF as RRGGBB in failure messages.
inline std::string ColourText(COLORREF c)
{
    char text[8];
    wsprintfA(text, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

// How many pixels of two canvases of one size differ.
inline int DifferentPixels(const DibCanvas& a, const DibCanvas& b)
{
    int count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            count += a.Pixel(x, y) != b.Pixel(x, y);
    return count;
}
