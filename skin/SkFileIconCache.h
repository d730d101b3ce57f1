// The shell icons of files, one per path (exact, letter case included),
// kept for the life of the process and never destroyed. Items of any UI
// thread may ask at once.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>

#include "base/CriticalSection.h"

class SkFileIconCache {
public:
    SkFileIconCache(const SkFileIconCache&) = delete;
    SkFileIconCache& operator=(const SkFileIconCache&) = delete;

    static SkFileIconCache& Instance();

    // The shell's large icon of the file. NULL, with nothing stored (the
    // next call asks again), when the file does not exist or the shell gives
    // no icon.
    HICON GetIcon(const wchar_t* path);
    size_t Count();

private:
    SkFileIconCache() = default;

    CCriticalSection m_lock;
    std::unordered_map<std::wstring, HICON> m_icons;
};
