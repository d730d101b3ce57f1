// "iconfrommodule": the shell icon of a file ("srcfile", a UTF-8 path), or
// an icon handle the owner gives ("iconhandle", decimal; it stays the
// owner's), stretched over the item.
#pragma once

#include "base/RefString.h"
#include "skin/SkWindow.h"

class CSkDrawFileIcon : public CSkWindow {
public:
    const char* TagName() const override { return "iconfrommodule"; }
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    const CString& SourceFile() const noexcept { return m_srcFile; }
    HICON IconHandle() const noexcept { return m_iconHandle; }

private:
    void Paint(HDC hdc) const;

    CString m_srcFile;
    HICON m_iconHandle = nullptr;
};
