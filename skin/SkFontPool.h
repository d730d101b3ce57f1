// The process-wide font cache of the skin library, keyed by a 16-bit font
// style word:
//   bit 0 italic, bit 1 underline, bit 2 bold (weight 700, else 400),
//   bits 3-7 part of the key only,
//   high byte a signed size change, subtracted from the default height
//   (0x01 one pixel taller, 0xFF one pixel smaller).
// Every font starts from the default font, whose face comes from skin
// string 0 at start-up. Fonts are made on first request, from any thread.
#pragma once

#include <windows.h>

#include <unordered_map>

#include "base/CriticalSection.h"
#include "base/Handle.h"
#include "base/RefString.h"

class SkFontPool {
public:
    SkFontPool();
    SkFontPool(const SkFontPool&) = delete;
    SkFontPool& operator=(const SkFontPool&) = delete;
    virtual ~SkFontPool() = default;

    static SkFontPool& Instance();

    // The font for a style word, owned by the pool (select it, never delete
    // it); null when it cannot be made, and then the next call tries again.
    // Word 0 is the default font.
    HFONT FontForStyle(WORD style);

    // Sets the default face (null: empty; cut to 31 characters) and the
    // default height -12, and rebuilds the default font. Fonts already made
    // for other words stay as they are.
    void SetDefaultFace(const wchar_t* face);

    const LOGFONTW& DefaultLogFont() const noexcept { return m_defaultLogFont; }
    const CString& DefaultFace() const noexcept { return m_defaultFace; }
    int DefaultHeight() const noexcept { return m_defaultHeight; }

private:
    HFONT CreateDefaultFont();

    CCriticalSection m_lock; // guards the fonts and the default font
    LOGFONTW m_defaultLogFont{};
    std::unordered_map<WORD, CFontHandle> m_fonts;
    CString m_defaultFace;
    int m_defaultHeight;
};

// SetDefaultFace on the process-wide pool.
void SetDefaultFontFace(const wchar_t* face);
