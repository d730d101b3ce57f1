// The "icon" item: an icon resource of the program, or a system icon,
// stretched over the item's rectangle. The item is as wide and as high as
// its "size".
#pragma once

#include "base/Handle.h"
#include "skin/SkWindow.h"

class CSkIconWnd : public CSkWindow {
public:
    const char* TagName() const override { return "icon"; }
    BOOL LoadFromXml(const TiXmlElement* element) override;
    // "src" (resource id, or a system icon id with "oem"), "oem", "size".
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Drops the current icon and loads src: the system icon of that id with
    // oem set, else the program's own icon resource at size x size. (Named
    // like the Win32 macro, which renames it the same way everywhere.)
    void LoadIcon();
    HICON Icon() const noexcept { return m_ownedIcon ? m_ownedIcon.Get() : m_systemIcon; }

    int m_src = -1;
    int m_loadedSrc = -1;
    int m_size = 16;
    int m_oem = 0;

private:
    void Paint(HDC hdc);

    CIconHandle m_ownedIcon;
    HICON m_systemIcon = nullptr; // shared by the system, never destroyed
};
