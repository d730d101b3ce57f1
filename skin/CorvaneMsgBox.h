// The skinned message box: a modal skin dialog with the round-rect frame
// that shows a text, a caption, a row of buttons and an icon chosen by the
// Win32 MB_ type flags, and returns the id of the button that closed it.
// It sizes itself to its text, inside the work area: a text too wide wraps,
// one too high scrolls. Enter answers the default button, Escape Cancel (or
// OK, or the close button's answer). Any thread may show one; it then runs its own
// modal loop on that thread.
//
//     if (CCorvaneMsgBox::Show(L"发现有新版本，是否自动升级！", L"升级提示", MB_YESNO) == IDYES) ...
#pragma once

#include <windows.h>

#include <vector>

#include "base/RefString.h"
#include "skin/SkDialogImpl.h"

// Layout resources (type "xml"): the message box and the delete confirmation.
constexpr UINT IDR_MSGBOX_LAYOUT = 105;
constexpr UINT IDR_DELETE_CONFIRM_LAYOUT = 150;

// Item ids of both layouts.
constexpr UINT IDC_MSGBOX_CAPTION = 60004;    // header text
constexpr UINT IDC_MSGBOX_CLOSE = 60001;      // header close button; its id is the box's result
constexpr UINT IDC_MSGBOX_BUTTONS = 60008;    // footer panel that gets the button row
constexpr UINT IDC_MSGBOX_ICON = 60005;       // "icon" with oem="1"
constexpr UINT IDC_MSGBOX_TEXT = 60006;       // the message
constexpr UINT IDC_MSGBOX_TEXTLINES = 60016;  // panel: the message as text lines
constexpr UINT IDC_MSGBOX_CHECK = 60007;      // check box, always hidden
constexpr UINT IDC_MSGBOX_SCROLLTEXT = 60017; // rich edit over 60006 for a text higher than the screen

// TRUE while a message box is up (from its WM_INITDIALOG to its WM_DESTROY),
// on any thread.
extern BOOL MsgBoxOnScreen;

class CCorvaneMsgBox : public CSkDialogImpl<CCorvaneMsgBox> {
public:
    struct Button {
        CString caption;
        UINT id;
        int width;
    };

    CCorvaneMsgBox() : CSkDialogImpl(0) {}

    // Shows a box and returns the id of the button that closed it
    // (IDOK ... IDCONTINUE), IDC_MSGBOX_CLOSE for the close button, -1
    // without its layout, 0 when the window could not be made. A null
    // caption leaves the layout's.
    static int Show(const wchar_t* text, const wchar_t* caption, UINT type);

    int ShowMsg(const wchar_t* text, const wchar_t* caption, UINT type);

    // The button row of the type (none with the top bit set).
    void BuildButtons();
    // Appends a button as wide as its caption in the "normalbtn" style, at
    // least 80 pixels.
    void AddButton(const wchar_t* caption, UINT id);
    // Puts the button row, centred, into the footer panel and chooses the
    // icon of the type.
    void LayoutButtonsAndIcon();

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    CString m_text;
    CString m_caption;
    UINT m_type = 0;
    BOOL m_presetTextSize = FALSE;
    RECT m_textSize = {}; // the text area's size when preset
    std::vector<Button> m_buttons;

    // DrawTextW with DT_CALCRECT in {0, 0, width, height} on the desktop
    // window's DC, in the font of the style (the default font when it has
    // none).
    static SIZE MeasureText(const wchar_t* text, const char* style, UINT format, int width, int height);
    // The text with line breaks wherever a line is wider than width in the
    // font of the style: after a space where one fits, else inside the word.
    static CString WrapText(const wchar_t* text, const char* style, int width);

    // What Enter answers: the default button of the type (MB_DEFBUTTON1 to
    // 4, the first when there is no such button); 0 without buttons.
    UINT EnterAnswer() const;
    // What Escape and WM_CLOSE answer: Cancel when the box has it, OK when OK
    // is its only button, else what the close button answers.
    UINT EscapeAnswer() const;

    // The text as shown when it had to be wrapped, else empty.
    CString m_shownText;
    // The scrolling text of a box higher than the work area, or null.
    HWND m_scrollText = nullptr;

protected:
    void OnInitDialog();
    void OnSkCommand(const SkItemClickNotify& click);
    void OnDestroy();
    void ShowScrollingText();
    // Enter or Escape pressed in the scrolling text: answered as in the box.
    BOOL OnTextKey(LPARAM lParam);

private:
    bool m_counted = false; // this box counts in MsgBoxOnScreen
};
