#include "tests/support/Picture.h"

#include "tests/support/DibCanvas.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

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

void CopyInto(const DibCanvas& area, CPicture& picture)
{
    picture.width = area.Width();
    picture.height = area.Height();
    picture.pixels = area.Pixels();
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
    DibCanvas area(rect.right - rect.left, rect.bottom - rect.top);
    if (!area.Ok())
        return false;
    HDC screen = GetDC(nullptr);
    const BOOL copied = BitBlt(area.Dc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen,
                               rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    if (!copied)
        return false;
    CopyInto(area, picture);
    return true;
}

bool TakePrintedPicture(HWND hwnd, CPicture& picture)
{
    RECT client = {};
    if (!GetClientRect(hwnd, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    DibCanvas area(client.right, client.bottom);
    if (!area.Ok())
        return false;
    SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(area.Dc()), PRF_CLIENT);
    CopyInto(area, picture);
    return true;
}

double ContrastRatio(COLORREF a, COLORREF b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

namespace {

// How many pixels a mark must have to count: a stray pixel or two (a corner
// of the frame, one dot of a neighbour's edge) is not a drawn mark.
size_t MarkPixels(size_t pixels)
{
    return std::max<size_t>(3, pixels / 50);
}

} // namespace

double MostContrastAgainst(const std::vector<COLORREF>& pixels, COLORREF colour)
{
    const size_t mark = MarkPixels(pixels.size());
    if (pixels.size() < mark)
        return 1.0;
    std::vector<double> ratios;
    ratios.reserve(pixels.size());
    for (COLORREF pixel : pixels)
        ratios.push_back(ContrastRatio(pixel, colour));
    std::nth_element(ratios.begin(), ratios.begin() + (mark - 1), ratios.end(), std::greater<double>());
    return ratios[mark - 1];
}

double ContrastWithin(const std::vector<COLORREF>& pixels)
{
    const size_t mark = MarkPixels(pixels.size());
    if (pixels.size() < 2 * mark)
        return 1.0;
    std::vector<double> light;
    light.reserve(pixels.size());
    for (COLORREF pixel : pixels)
        light.push_back(Luminance(pixel));
    std::sort(light.begin(), light.end());
    const double darkest = light[mark - 1];
    const double lightest = light[light.size() - mark];
    return (lightest + 0.05) / (darkest + 0.05);
}
