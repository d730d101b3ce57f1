// "check": a check box whose checked bit flips at each click.
#pragma once

#include "skin/SkToggleBox.h"

class CSkCheckBox : public CSkToggleBox {
public:
    CSkCheckBox() noexcept;
    const char* TagName() const override { return "check"; }

protected:
    void OnClick() override { m_state ^= SKS_CHECKED; }
};
