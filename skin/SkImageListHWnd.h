// "imglisth": a horizontal row of "imagecount" cells, each drawn by a skin
// with its own sub-image index, from lists given as attributes:
// "skinlist" skin0=bg,skin1=star and "sublist" sub0=2,sub1=0. Each cell
// starts where the one before it ended; a cell without a skin takes no
// space. "skin" only sizes the item.
#pragma once

#include <string>
#include <unordered_map>

#include "skin/SkWindow.h"

class CSkSkinBase;

class CSkImageListHWnd : public CSkWindow {
public:
    const char* TagName() const override { return "imglisth"; }
    // The lists win over the reset of the cells, whatever the attribute
    // order.
    BOOL LoadFromXml(const TiXmlElement* element) override;
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    int ImageCount() const noexcept { return m_imageCount; }
    int Sub() const noexcept { return m_sub; }
    // The cell's skin (null: none) and sub-image index: -1 for a cell of the
    // count at load that no list names, 0 for one never given at all.
    CSkSkinBase* CellSkin(int index) const;
    int CellSub(int index) const;

    // Entries "key=value" separated by ","; empty entries, entries without
    // "=" and entries beginning with "=" are passed over.
    void ParseSkinList(const char* list);
    void ParseSubList(const char* list);

private:
    void Paint(HDC hdc) const;
    void Measure(BOOL limited, SIZE& size);
    // Drops the entries of the cells 0 .. count - 1.
    template <typename Map> static void ForgetCells(Map& cells, const char* prefix, int count);

    int m_sub = -1;
    CSkSkinBase* m_skin = nullptr;
    int m_imageCount = 0;
    int m_resetCount = 0; // cells below it that no list names have sub-image -1
    std::string m_skinList;
    std::string m_subList;
    std::unordered_map<std::string, CSkSkinBase*> m_skins;
    std::unordered_map<std::string, int> m_subs;
};
