// The process-wide bitmap cache: bitmaps by resource id, decoded once and
// shared by every skin that names them. Any thread may ask.
#pragma once

#include <windows.h>

#include <unordered_map>

#include "base/CriticalSection.h"
#include "base/Handle.h"

class SkBmpPool {
public:
    SkBmpPool() = default;
    SkBmpPool(const SkBmpPool&) = delete;
    SkBmpPool& operator=(const SkBmpPool&) = delete;
    virtual ~SkBmpPool() = default;

    static SkBmpPool& Instance();

    // The bitmap of id, owned by the pool; null when it cannot be loaded (the
    // next call tries again).
    HBITMAP GetBitmap(UINT id);

private:
    CCriticalSection m_lock;
    std::unordered_map<UINT, CBitmapHandle> m_bitmaps;
};

// Loads bitmap id: "<skin folder>\<id>.bmp" when a skin folder is set, else
// from the resource module when one is set, else from the program's own
// image; the first that works wins.
bool LoadBitmapById(UINT id, HBITMAP& bitmap);
