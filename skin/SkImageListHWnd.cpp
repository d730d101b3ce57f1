#include "skin/SkImageListHWnd.h"

#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include <tinyxml.h>

#include "skin/SkSkinPool.h"

namespace {

std::string CellKey(const char* prefix, int index)
{
    return prefix + std::to_string(index);
}

// The cell index of a key written as CellKey writes it ("skin12"), or -1.
int CellIndex(const std::string& key, const char* prefix)
{
    const size_t prefixLength = std::strlen(prefix);
    if (key.compare(0, prefixLength, prefix) != 0)
        return -1;
    const std::string digits = key.substr(prefixLength);
    if (digits.empty() || digits.size() > 10 || (digits[0] == '0' && digits.size() > 1))
        return -1;
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value <= INT_MAX ? static_cast<int>(value) : -1;
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
    // Every cell of the count starts without a skin and with sub-image -1.
    // The cells are not written one by one: the count can be any number,
    // while only the cells the lists name can ever draw.
    ForgetCells(m_skins, "skin", m_imageCount);
    ForgetCells(m_subs, "sub", m_imageCount);
    m_resetCount = std::max(m_resetCount, m_imageCount);
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
    if (found != m_subs.end())
        return found->second;
    return index >= 0 && index < m_resetCount ? -1 : 0;
}

template <typename Map> void CSkImageListHWnd::ForgetCells(Map& cells, const char* prefix, int count)
{
    for (auto entry = cells.begin(); entry != cells.end();) {
        const int index = CellIndex(entry->first, prefix);
        if (index >= 0 && index < count)
            entry = cells.erase(entry);
        else
            ++entry;
    }
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
    // Cells without a skin draw nothing and take no space, so only the
    // cells the lists gave a skin are visited, in index order, however
    // large the count.
    std::vector<std::pair<int, const CSkSkinBase*>> cells;
    for (const auto& entry : m_skins) {
        const int index = CellIndex(entry.first, "skin");
        if (entry.second && index >= 0 && index < m_imageCount)
            cells.emplace_back(index, entry.second);
    }
    std::sort(cells.begin(), cells.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    RECT cell = m_rect;
    for (const auto& [index, skin] : cells) {
        skin->Draw(hdc, cell, CellSub(index)); // -1: the whole image
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
