#include "tests/support/Picture.h"

#include "tests/support/DibCanvas.h"

#include <algorithm>
#include <cmath>

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
