// A hyperlink: its look comes from its style (hover colour and font); the view takes it for a clickable item,
// also in the header.
#pragma once

#include "skin/SkWindow.h"

class CSkLink : public CSkWindow {
public:
    const char* TagName() const override { return "link"; }
    BOOL HandlesClicks() const override { return TRUE; }
};
