// A container whose children are items of a layout: it drops them on
// SKM_DESTROY, draws nothing of its own content, shows and hides its real
// windows with itself, and passes mouse moves to the children under the
// point.
#pragma once

#include "skin/SkContainerWnd.h"

class CSkPanel : public CSkContainerWnd {
public:
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ForwardMouseMove(WPARAM keys, LPARAM point);
};
