// The "hr" item: a straight line from the top-left to the bottom-right of
// its rectangle in the style's background colour. A rule of zero width is
// vertical, one of zero height horizontal.
#pragma once

#include "skin/SkWindow.h"

class CSkLine : public CSkWindow {
public:
    const char* TagName() const override { return "hr"; }
    // "size" (pen width) and "style" ("solid", "dash", "dot", "dashdot",
    // "dashdotdot").
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    int m_penStyle = PS_SOLID;
    int m_size = 1;

private:
    void Paint(HDC hdc) const;
};
