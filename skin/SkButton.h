// A push button: its look follows its state, so it redraws on every hover and press.
#pragma once

#include "skin/SkWindow.h"

class CSkButton : public CSkWindow {
public:
    const char* TagName() const override { return "button"; }
    BOOL RedrawsOnStateChange() override { return TRUE; }
    BOOL HandlesClicks() const override { return TRUE; }
};
