#include "skin/SkCheckBox.h"

#include <vsstyle.h>

namespace {

// A 13-pixel glyph over the item's full height; the text 17 pixels in,
// centred vertically.
const SkToggleGeometry kCheckGeometry = {
    BP_CHECKBOX, DFCS_BUTTONCHECK, 13, 0, 17, DT_BOTTOM, DT_VCENTER, 13,
};

} // namespace

CSkCheckBox::CSkCheckBox() noexcept : CSkToggleBox(kCheckGeometry) {}
