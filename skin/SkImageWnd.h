// The "img" item: a skin drawn over the item's rectangle with a fixed
// sub-image, and sized by the skin where the skin has a size.
#pragma once

#include "skin/SkWindow.h"

class CSkSkinBase;

class CSkImageWnd : public CSkWindow {
public:
    const char* TagName() const override { return "img"; }
    // "skin" (by name) and "sub" (-1: the whole image).
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    const CSkSkinBase* m_skin = nullptr; // owned by the skin pool
    int m_sub = -1;

protected:
    // The state the skin is drawn with.
    virtual int SkinState() const { return m_sub; }

private:
    void MeasureBySkin(SIZE& size);
};
