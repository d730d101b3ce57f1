// The "imgbtn" item: an image whose skin sub-image follows the state:
// 0 normal, 1 hover, 2 pushed, 3 disabled.
#pragma once

#include "skin/SkImageWnd.h"

class CSkImageBtnWnd : public CSkImageWnd {
public:
    const char* TagName() const override { return "imgbtn"; }
    BOOL RedrawsOnStateChange() override { return TRUE; }
    BOOL HandlesClicks() const override { return TRUE; }

protected:
    int SkinState() const override;
};
