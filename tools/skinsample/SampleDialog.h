// The sample dialog: a skin dialog from layout 200 whose tabs switch the
// body's pages, whose buttons move the progress bar, and which the close
// button, "关闭" and Escape end. With a screenshot path it saves a picture
// of itself shortly after it is shown, then one with a message box over it,
// and ends. The link of its rich text shows a message box.
#pragma once

#include "base/RefString.h"
#include "skin/SkDialogImpl.h"

class CSampleDialog : public CSkDialogImpl<CSampleDialog> {
public:
    explicit CSampleDialog(const CString& screenshotPath);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // TRUE once the screenshot was written.
    BOOL m_saved = FALSE;

private:
    void OnItemClick(const SkItemClickNotify& click);
    void OnTabChanging(const SkTabChangeNotify& change);
    void StepProgress(int delta);
    void SaveScreenshots();
    // Shows a message box over the dialog and photographs both
    // (PATH-msgbox.png) while it is up; the picture ends the box.
    void ShowMessageBoxForScreenshot();
    void SaveMessageBoxScreenshot();

    CString m_screenshotPath;
    int m_progress = 64;
};
