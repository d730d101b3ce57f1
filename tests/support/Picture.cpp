#include "tests/support/Picture.h"

#include <algorithm>
#include <cmath>

namespace {

// A 32-bit top-down DIB section of the size, selected into a memory DC.
class CDibArea {
public:
    CDibArea(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap =
            CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        if (m_bitmap)
            m_old = SelectObject(m_dc, m_bitmap);
    }
    CDibArea(const CDibArea&) = delete;
    CDibArea& operator=(const CDibArea&) = delete;
    ~CDibArea()
    {
        if (m_old)
            SelectObject(m_dc, m_old);
        if (m_bitmap)
            DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    bool Ok() const { return m_bits != nullptr; }
    HDC Dc() const { return m_dc; }

    void CopyTo(CPicture& picture) const
    {
        GdiFlush();
        picture.width = m_width;
        picture.height = m_height;
        picture.pixels.resize(static_cast<size_t>(m_width) * m_height);
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            const DWORD bgrx = m_bits[i];
            picture.pixels[i] = RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
        }
    }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

double Linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(COLORREF colour)
{
    return 0.2126 * Linear(GetRValue(colour)) + 0.7152 * Linear(GetGValue(colour)) +
           0.0722 * Linear(GetBValue(colour));
}

} // namespace

std::vector<COLORREF> CPicture::Area(const RECT& rect) const
{
    std::vector<COLORREF> found;
    for (int y = std::max<LONG>(rect.top, 0); y < std::min<LONG>(rect.bottom, height); ++y)
        for (int x = std::max<LONG>(rect.left, 0); x < std::min<LONG>(rect.right, width); ++x)
            found.push_back(At(x, y));
    return found;
}

bool TakeScreenPicture(const RECT& rect, CPicture& picture)
{
    CDibArea area(rect.right - rect.left, rect.bottom - rect.top);
    if (!area.Ok())
        return false;
    HDC screen = GetDC(nullptr);
    const BOOL copied = BitBlt(area.Dc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen,
                               rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    if (!copied)
        return false;
    area.CopyTo(picture);
    return true;
}

bool TakePrintedPicture(HWND hwnd, CPicture& picture)
{
    RECT client = {};
    if (!GetClientRect(hwnd, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    CDibArea area(client.right, client.bottom);
    if (!area.Ok())
        return false;
    SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(area.Dc()), PRF_CLIENT);
    area.CopyTo(picture);
    return true;
}

double ContrastRatio(COLORREF a, COLORREF b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double MostContrastAgainst(const std::vector<COLORREF>& pixels, COLORREF colour)
{
    double most = 1.0;
    for (COLORREF pixel : pixels)
        most = std::max(most, ContrastRatio(pixel, colour));
    return most;
}

double ContrastWithin(const std::vector<COLORREF>& pixels)
{
    if (pixels.empty())
        return 1.0;
    double lightest = 0.0;
    double darkest = 1.0;
    for (COLORREF pixel : pixels) {
        lightest = std::max(lightest, Luminance(pixel));
        darkest = std::min(darkest, Luminance(pixel));
    }
    return (lightest + 0.05) / (darkest + 0.05);
}
