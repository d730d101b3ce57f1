// Static text: background and text as every item draws them.
#pragma once

#include "skin/SkWindow.h"

class CSkStatic : public CSkWindow {
public:
    const char* TagName() const override { return "text"; }
};
