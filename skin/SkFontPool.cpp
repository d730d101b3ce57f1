#include "skin/SkFontPool.h"

#include <cwchar>

namespace {

// LOGFONT face names hold 31 characters and the terminator.
const int kMaxFaceLength = LF_FACESIZE - 1;

CString CutFace(const wchar_t* face)
{
    if (!face)
        return CString();
    int length = static_cast<int>(wcsnlen(face, kMaxFaceLength));
    return CString(face, length);
}

} // namespace

SkFontPool::SkFontPool() : m_defaultFace(L"Tahoma"), m_defaultHeight(-11)
{
    m_fonts[0] = CFontHandle(CreateDefaultFont());
}

SkFontPool& SkFontPool::Instance()
{
    // Lives until the process ends.
    static SkFontPool* pool = new SkFontPool();
    return *pool;
}

HFONT SkFontPool::CreateDefaultFont()
{
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(m_defaultLogFont), &m_defaultLogFont);
    m_defaultLogFont.lfHeight = m_defaultHeight;
    wmemset(m_defaultLogFont.lfFaceName, L'\0', LF_FACESIZE);
    wmemcpy(m_defaultLogFont.lfFaceName, m_defaultFace.GetString(), m_defaultFace.GetLength());
    m_defaultLogFont.lfQuality = ANTIALIASED_QUALITY;
    return CreateFontIndirectW(&m_defaultLogFont);
}

void SkFontPool::SetDefaultFace(const wchar_t* face)
{
    CCriticalSectionLock lock(m_lock);
    m_defaultFace = CutFace(face);
    m_defaultHeight = -12;
    // Assigning releases the font that word 0 held before.
    m_fonts[0] = CFontHandle(CreateDefaultFont());
}

HFONT SkFontPool::FontForStyle(WORD style)
{
    CCriticalSectionLock lock(m_lock);
    auto found = m_fonts.find(style);
    if (found != m_fonts.end())
        return found->second;
    LOGFONTW font = m_defaultLogFont;
    font.lfWeight = (style & 0x4) ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = (style & 0x2) ? TRUE : FALSE;
    font.lfItalic = (style & 0x1) ? TRUE : FALSE;
    font.lfHeight -= static_cast<signed char>(style >> 8);
    HFONT made = CreateFontIndirectW(&font);
    if (made)
        m_fonts[style] = CFontHandle(made);
    return made;
}

void SetDefaultFontFace(const wchar_t* face)
{
    SkFontPool::Instance().SetDefaultFace(face);
}
