// The "tabctrl" item: a strip of tabs along the top (tabalign "top") or
// down the left ("left"), and beside it the frame in which the selected
// "tab" page lies. Only the selected page is drawn, hit-tested and shown.
// A press on a tab selects its page; the owner is asked first
// (SKN_TAB_CHANGING) and may refuse.
#pragma once

#include "skin/SkContainerWnd.h"

class CSkSkinBase;
class CSkTab;

class CSkTabCtrl : public CSkContainerWnd {
public:
    const char* TagName() const override { return "tabctrl"; }
    // The item itself, then one page per "tab" child element. The first
    // page with a tab is shown and, unless "cursel" chose another, selected.
    BOOL LoadFromXml(const TiXmlElement* element) override;
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;

    void UpdateCursor() override;
    UINT HitTest(POINT point) override;
    BOOL IsContainer() const override { return TRUE; }
    BOOL HandlesClicks() const override { return TRUE; }
    // Its own background and strip, then the selected page.
    BOOL DrawInRegion(HDC hdc, HRGN region) override;
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Each page itself, else what the page finds, in page order.
    CSkWindow* FindItemById(UINT id) override;
    // Pages are placed by the control alone.
    void RepositionChildren() override {}
    void RepositionChild(CSkWindow*) override {}
    // The selected page gets show; every other page FALSE.
    void ShowRealWindows(BOOL show) override;

    int TabCount() const { return static_cast<int>(Children().size()); }
    // The page at index, or null when out of range.
    CSkTab* GetTab(int index) const;
    // The tab of page index in the strip; hidden tabs take no place. FALSE
    // when the index is out of range.
    BOOL GetTabRect(int index, RECT& rect) const;
    // Asks the owner, then selects the page. TRUE when index is selected
    // now; FALSE for a refused change or when no page is selected after it
    // (an index out of range deselects).
    BOOL SelectTab(int index);
    // The width and height of one tab: the given ones, else the tab skin's.
    SIZE TabSize() const;

    int m_hover = -1;
    int m_cursel = 0;
    int m_tabSpacing = 0;
    int m_tabPos = 0;
    int m_framePos = 0;
    int m_tabWidth = 0;
    int m_tabHeight = 0;
    const CSkSkinBase* m_tabSkin = nullptr; // owned by the skin pool
    const CSkSkinBase* m_frameSkin = nullptr;
    const CSkSkinBase* m_iconSkin = nullptr;
    const CSkSkinBase* m_splitterSkin = nullptr;
    RECT m_frame = {};
    int m_iconX = 0;
    int m_iconY = 0;
    int m_textX = 0;
    int m_textY = 0;
    int m_tabAlign = 0; // 0 top, 1 left

private:
    bool InRange(int index) const { return index >= 0 && index < TabCount(); }
    void Place(const WINDOWPOS& place);
    void PlacePage(CSkTab* page, const WINDOWPOS& base);
    void Paint(HDC hdc);
    void DrawSplitter(HDC hdc, const RECT& tab) const;
    void DrawTab(HDC hdc, int index, int skinState) const;
    // The first page with a tab, not selected, whose tab holds the point; -1.
    int TabAt(POINT point) const;
    void RepaintTab(int index);
    void OnMouseMove(POINT point);
    void OnMouseLeave();
    BOOL AskOwner(int index);
};
