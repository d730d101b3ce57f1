// A "tab" page of a tab control: a panel with the title of its tab. A page
// with "hide" set has no tab in the strip but still exists. Only a tab
// control makes pages; the item factory does not know the tag.
#pragma once

#include "base/RefString.h"
#include "skin/SkDialog.h"

class CSkTab : public CSkDialog {
public:
    const char* TagName() const override { return "tab"; }
    // The panel's names, then "title" and "hide".
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;

    CString m_title;
    int m_hide = 0;
};
