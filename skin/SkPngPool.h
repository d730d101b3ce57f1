// The process-wide PNG cache: GDI+ images by "png" resource id, decoded once.
// GDI+ is started by the first request and stays started. Any thread may
// ask; drawing is kept to one thread at a time by the views' paint lock.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <memory>
#include <unordered_map>

#include "base/CriticalSection.h"
#include "base/Handle.h"

using CGlobalMemory = CUniqueHandle<NullHandleTraits<HGLOBAL, &GlobalFree>>;

// A decoded image with the memory block its stream reads from, which must
// outlive the image.
struct SkPngImage {
    CGlobalMemory memory;
    std::unique_ptr<Gdiplus::Image> image;

    SkPngImage() = default;
    SkPngImage(SkPngImage&&) = default;
    SkPngImage& operator=(SkPngImage&& other) noexcept
    {
        image = std::move(other.image);
        memory = std::move(other.memory);
        return *this;
    }
    ~SkPngImage() { image.reset(); }
};

class SkPngPool {
public:
    SkPngPool();
    SkPngPool(const SkPngPool&) = delete;
    SkPngPool& operator=(const SkPngPool&) = delete;
    virtual ~SkPngPool();

    static SkPngPool& Instance();

    // The image of id, owned by the pool. A missing or undecodable resource
    // gives an empty image (size 0 x 0) that is cached too; null only when no
    // image object could be made.
    Gdiplus::Image* GetImage(UINT id);

private:
    ULONG_PTR m_token = 0;
    CCriticalSection m_lock;
    std::unordered_map<UINT, SkPngImage> m_images;
};

// Decodes "png" resource id (skin folder first, see LoadResourceData) into
// out. Needs GDI+ started.
void LoadPngResource(UINT id, SkPngImage& out);
