#include "skin/SkBmpPool.h"

#include "skin/SkResource.h"

SkBmpPool& SkBmpPool::Instance()
{
    // Lives until the process ends.
    static SkBmpPool* pool = new SkBmpPool();
    return *pool;
}

HBITMAP SkBmpPool::GetBitmap(UINT id)
{
    // Loaded under the lock: two threads asking for one id get one bitmap.
    CCriticalSectionLock lock(m_lock);
    auto found = m_bitmaps.find(id);
    if (found != m_bitmaps.end())
        return found->second;
    HBITMAP bitmap = nullptr;
    if (LoadBitmapById(id, bitmap))
        m_bitmaps[id] = CBitmapHandle(bitmap);
    return bitmap;
}

bool LoadBitmapById(UINT id, HBITMAP& bitmap)
{
    bitmap = nullptr;
    const SkResourceFolder& source = SkResourceFolder::Instance();
    if (!source.SkinFolder().IsEmpty()) {
        CString path;
        path.Format(L"%s\\%d.bmp", source.SkinFolder().GetString(), id);
        bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    if (!bitmap && source.ResourceModule())
        bitmap = LoadBitmapW(source.ResourceModule(), MAKEINTRESOURCEW(id));
    if (!bitmap)
        bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    return bitmap != nullptr;
}
