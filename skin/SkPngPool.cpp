#include "skin/SkPngPool.h"

#include <cstring>
#include <string>

#include "base/ComPtr.h"
#include "skin/SkResource.h"

SkPngPool::SkPngPool()
{
    Gdiplus::GdiplusStartupInput input; // version 1, no callback, nothing suppressed
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
}

SkPngPool::~SkPngPool()
{
    m_images.clear();
    if (m_token)
        Gdiplus::GdiplusShutdown(m_token);
}

SkPngPool& SkPngPool::Instance()
{
    // Lives until the process ends, and GDI+ with it.
    static SkPngPool* pool = new SkPngPool();
    return *pool;
}

Gdiplus::Image* SkPngPool::GetImage(UINT id)
{
    // Decoded under the lock: two threads asking for one id get one image.
    CCriticalSectionLock lock(m_lock);
    auto found = m_images.find(id);
    if (found != m_images.end())
        return found->second.image.get();
    SkPngImage loaded;
    LoadPngResource(id, loaded);
    Gdiplus::Image* image = loaded.image.get();
    if (image)
        m_images[id] = std::move(loaded);
    return image;
}

void LoadPngResource(UINT id, SkPngImage& out)
{
    out = SkPngImage();
    std::string bytes;
    LoadResourceData(id, L"png", bytes); // a missing resource leaves zero bytes
    // An empty block still gets one byte, so that the stream owns no memory
    // of its own; one zero byte decodes to nothing.
    out.memory.Reset(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes.empty() ? 1 : bytes.size()));
    if (out.memory)
        std::memcpy(static_cast<void*>(out.memory.Get()), bytes.data(), bytes.size());
    CComPtr<IStream> stream;
    if (out.memory)
        CreateStreamOnHGlobal(out.memory, FALSE, &stream);
    // The image object exists even when decoding fails; it then reports 0 x 0.
    out.image.reset(new Gdiplus::Image(stream.Get()));
}
