// The message box that asks before local items are deleted: "您确定删除吗？"
// with the question icon and the buttons 是 and 否, the text laid out as
// lines of its own (layout 150).
#pragma once

#include "skin/CorvaneMsgBox.h"

class CCorvaneMsgBox2 : public CCorvaneMsgBox {
public:
    // IDYES, IDNO, IDC_MSGBOX_CLOSE, -1 without the layout, 0 when the
    // window could not be made.
    static int ShowDeleteConfirm();

    int ShowDeleteConfirmMsg();
};
