// What the check box and the radio box share: a small system glyph at the
// left of the item, drawn with the current visual style when the theme
// library is in the process and with DrawFrameControl otherwise, followed by
// the item's text. The state lives in the checked bit (SKS_CHECKED).
#pragma once

#include <windows.h>

#include <uxtheme.h>

#include "skin/SkWindow.h"

// Where a kind of box draws its glyph and its text.
struct SkToggleGeometry {
    int themePart;       // BP_CHECKBOX or BP_RADIOBUTTON
    UINT frameFlags;     // DFCS_BUTTONCHECK or DFCS_BUTTONRADIO
    int glyphWidth;      // the glyph starts at the item's left edge
    int glyphHeight;     // 0: the item's full height; else centred vertically
    int textOffset;      // the text starts this far right of the item's left edge
    UINT textmodeRemove; // DrawText flags taken out of the item's style at each paint
    UINT textmodeAdd;    // and put in
    int minHeight;       // measured height at least this
};

class CSkToggleBox : public CSkWindow {
public:
    explicit CSkToggleBox(const SkToggleGeometry& geometry) noexcept : m_geometry(geometry) {}
    ~CSkToggleBox() override;

    // "check" is kept but never sets the checked bit.
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    BOOL RedrawsOnStateChange() override { return TRUE; }
    // A press on a box toggles it; it never drags the window.
    BOOL HandlesClicks() const override { return TRUE; }
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    int CheckAttribute() const noexcept { return m_check; }
    HTHEME Theme() const noexcept { return m_theme; }
    // The glyph's rectangle for the item's current rectangle.
    RECT GlyphRect() const;

    // The BUTTON class state id (CBS_ / RBS_) and the DrawFrameControl flags
    // for a state word.
    static int ThemedStateId(UINT state);
    UINT FrameControlFlags(UINT state) const;

protected:
    // The click the view reports when the button is released over the box.
    virtual void OnClick() = 0;

private:
    void Paint(HDC hdc);
    void Measure(BOOL limited, SIZE& size);
    UINT GlyphState() const;

    const SkToggleGeometry m_geometry;
    HTHEME m_theme = nullptr;
    int m_check = 0;
};
