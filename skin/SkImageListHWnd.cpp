#include "skin/SkImageListHWnd.h"

#include <shlwapi.h>

#include <cstring>
#include <functional>

#include <tinyxml.h>

#include "skin/SkSkinPool.h"

namespace {

std::string CellKey(const char* prefix, int index)
{
    return prefix + std::to_string(index);
}

void ForEachEntry(const char* list, const std::function<void(const std::string&, const std::string&)>& take)
{
    if (!list)
        return;
    const std::string text = list;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string entry = text.substr(start, end - start);
        const size_t equals = entry.find('=');
        if (equals != std::string::npos && equals > 0)
            take(entry.substr(0, equals), entry.substr(equals + 1));
        start = end + 1;
    }
}

} // namespace

BOOL CSkImageListHWnd::LoadFromXml(const TiXmlElement* element)
{
    if (!CSkWindow::LoadFromXml(element))
        return FALSE;
    for (int i = 0; i < m_imageCount; ++i) {
        m_skins[CellKey("skin", i)] = nullptr;
        m_subs[CellKey("sub", i)] = -1;
    }
    for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute;
         attribute = attribute->Next()) {
        if (_stricmp(attribute->Name(), "skinlist") == 0)
            ParseSkinList(attribute->Value());
        else if (_stricmp(attribute->Name(), "sublist") == 0)
            ParseSubList(attribute->Value());
    }
    return TRUE;
}

HRESULT CSkImageListHWnd::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "skin") == 0) {
        m_skin = FindSkin(value);
        return S_OK;
    }
    if (std::strcmp(name, "sub") == 0) {
        m_sub = StrToIntA(value);
        return S_FALSE;
    }
    if (std::strcmp(name, "imagecount") == 0) {
        m_imageCount = StrToIntA(value);
        return S_FALSE;
    }
    if (std::strcmp(name, "skinlist") == 0) {
        if (value && *value) {
            m_skinList = value;
            ParseSkinList(value);
        }
        return S_FALSE;
    }
    if (std::strcmp(name, "sublist") == 0) {
        if (value && *value) {
            m_subList = value;
            ParseSubList(value);
        }
        return S_FALSE;
    }
    return E_FAIL;
}

void CSkImageListHWnd::ParseSkinList(const char* list)
{
    ForEachEntry(list, [this](const std::string& key, const std::string& name) {
        m_skins[key] = FindSkin(name.c_str());
    });
}

void CSkImageListHWnd::ParseSubList(const char* list)
{
    ForEachEntry(list, [this](const std::string& key, const std::string& value) {
        m_subs[key] = StrToIntA(value.c_str());
    });
}

CSkSkinBase* CSkImageListHWnd::CellSkin(int index) const
{
    auto found = m_skins.find(CellKey("skin", index));
    return found == m_skins.end() ? nullptr : found->second;
}

int CSkImageListHWnd::CellSub(int index) const
{
    auto found = m_subs.find(CellKey("sub", index));
    return found == m_subs.end() ? 0 : found->second;
}

BOOL CSkImageListHWnd::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case SKM_PAINT:
        Paint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case SKM_MEASURE:
        Measure(static_cast<BOOL>(wParam), *reinterpret_cast<SIZE*>(lParam));
        result = 0;
        return TRUE;
    default:
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    }
}

void CSkImageListHWnd::Paint(HDC hdc) const
{
    RECT cell = m_rect;
    for (int i = 0; i < m_imageCount; ++i) {
        const CSkSkinBase* skin = CellSkin(i);
        if (!skin)
            continue;
        skin->Draw(hdc, cell, CellSub(i)); // -1: the whole image
        cell.left += skin->GetSkinSize().cx;
    }
}

void CSkImageListHWnd::Measure(BOOL limited, SIZE& size)
{
    MeasureItem(limited, size);
    if (!m_skin)
        return;
    const SIZE skinSize = m_skin->GetSkinSize();
    if (skinSize.cx)
        size.cx = skinSize.cx;
    if (skinSize.cy)
        size.cy = skinSize.cy;
}
