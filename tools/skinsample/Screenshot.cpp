#include "Screenshot.h"

#include <objidl.h>

#include <gdiplus.h>

#include <vector>

#include "base/Handle.h"

namespace {

class CGdiplusSession {
public:
    CGdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;
    ~CGdiplusSession()
    {
        if (m_ok)
            Gdiplus::GdiplusShutdown(m_token);
    }
    bool Ok() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

bool FindPngEncoder(CLSID& clsid)
{
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (lstrcmpW(encoders[i].MimeType, L"image/png") == 0) {
            clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

BOOL SaveBitmapAsPng(HBITMAP bitmap, const wchar_t* path)
{
    CGdiplusSession gdiplus;
    CLSID png;
    if (!gdiplus.Ok() || !FindPngEncoder(png))
        return FALSE;
    Gdiplus::Bitmap image(bitmap, nullptr);
    return image.Save(path, &png, nullptr) == Gdiplus::Ok;
}

} // namespace

BOOL SaveScreenArea(const RECT& rect, const wchar_t* path)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    CWindowDc screen(nullptr);
    CBitmapHandle bitmap(CreateCompatibleBitmap(screen, width, height));
    CMemoryDc dc(CreateCompatibleDC(screen));
    {
        CSelectObject select(dc, bitmap);
        if (!BitBlt(dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY))
            return FALSE;
    }
    return SaveBitmapAsPng(bitmap, path);
}

BOOL SavePrintedWindow(HWND hwnd, const wchar_t* path)
{
    RECT client;
    GetClientRect(hwnd, &client);
    CWindowDc screen(nullptr);
    CBitmapHandle bitmap(CreateCompatibleBitmap(screen, client.right, client.bottom));
    CMemoryDc dc(CreateCompatibleDC(screen));
    {
        CSelectObject select(dc, bitmap);
        SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    }
    return SaveBitmapAsPng(bitmap, path);
}
