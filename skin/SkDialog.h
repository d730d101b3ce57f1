// The "dlg" panel: a container whose children are placed by their pos
// rules inside its rectangle less its style's margins. The three top panels
// of a view are of this class, and so are nested panels of a layout.
#pragma once

#include "skin/SkPanel.h"

class CSkDialog : public CSkPanel {
public:
    const char* TagName() const override { return "dlg"; }
    // The item itself, then its children from the element's child elements.
    BOOL LoadFromXml(const TiXmlElement* element) override;
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    BOOL IsContainer() const override { return TRUE; }
    // Floating children first, then the others, each in document order;
    // hidden and transparent ones are passed over; the panel's own handle
    // when no child holds the point.
    UINT HitTest(POINT point) override;
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Direct children first, then depth first through the child containers.
    CSkWindow* FindItemById(UINT id) override;
    void RepositionChildren() override;
    void RepositionChild(CSkWindow* child) override;

private:
    UINT HitTestChildren(POINT point, bool floating);
};
