// The "progress" item: a bar over a background, each drawn by a skin or,
// without one, as rounded rectangles; optionally the percentage in the
// middle, in another colour where it lies over the bar.
#pragma once

#include "skin/SkWindow.h"

class CSkSkinBase;

class CSkProgress : public CSkWindow {
public:
    const char* TagName() const override { return "progress"; }
    // "bgskin", "posskin" (by name), "min", "max", "value", "showpercent".
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The filled part, 0 to 1. Puts min and max in order and the value
    // between them, and keeps what it changed.
    double Fraction();

    // Compared unsigned.
    UINT m_min = 0;
    UINT m_max = 0;
    UINT m_value = 0;
    int m_showPercent = 0;
    const CSkSkinBase* m_bgSkin = nullptr; // owned by the skin pool
    const CSkSkinBase* m_posSkin = nullptr;

private:
    void Paint(HDC hdc);
    RECT BarRect(double fraction) const;
    void DrawBar(HDC hdc, const RECT& bar) const;
    void DrawPercentOverBar(HDC hdc, const RECT& bar, const wchar_t* text) const;
};
