// The "dlgfile" panel: a "dlg" whose children come from another XML
// resource, named by its "src" attribute, instead of its own element.
#pragma once

#include "skin/SkDialog.h"

class CSkDialogFile : public CSkDialog {
public:
    const char* TagName() const override { return "dlgfile"; }
    // The item itself from the element (its child elements are not read),
    // then the children from XML resource "src". FALSE without "src", when
    // the resource does not parse, or when it is already being loaded (a
    // file that includes itself, directly or through others); a missing
    // resource leaves the panel empty.
    BOOL LoadFromXml(const TiXmlElement* element) override;
};
