// "memimage": a GDI+ image the program holds in memory, handed over by its
// address ("mempointer", decimal). The image stays the caller's, who keeps
// it alive while the item can paint. "autosize" 1 stretches it over the
// item, 0 draws it at its natural size from the top-left corner.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include "skin/SkWindow.h"

class CSkMemoryImage : public CSkWindow {
public:
    const char* TagName() const override { return "memimage"; }
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    Gdiplus::Image* Image() const noexcept { return m_image; }
    int AutoSize() const noexcept { return m_autosize; }

private:
    void Paint(HDC hdc) const;

    Gdiplus::Image* m_image = nullptr;
    int m_autosize = 1;
};
