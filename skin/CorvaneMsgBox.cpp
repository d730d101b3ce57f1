#include "skin/CorvaneMsgBox.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "base/AppModule.h"
#include "skin/SkFontPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "skin/SkTextWrap.h"

BOOL MsgBoxOnScreen = FALSE;

namespace {

// Boxes up right now, on all threads: the flag stays TRUE until the last
// one goes.
volatile LONG g_boxesOnScreen = 0;

// Skin strings: the button captions, and the templates of one button and
// of the row.
constexpr int kButtonTemplate = 17;
constexpr int kRowTemplate = 26;
constexpr int kOk = 18, kCancel = 19, kAbort = 20, kRetry = 21, kIgnore = 22, kYes = 23, kNo = 24,
              kContinue = 25;

constexpr int kButtonGap = 20;
constexpr int kMinButtonWidth = 80;
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 160;
constexpr UINT kNoButtons = 0x80000000;

struct RowButton {
    int caption;
    UINT id;
};

// The buttons of each type & 0xF, left to right; types 7 to 15 have none.
// The try-again button of MB_CANCELTRYCONTINUE answers IDRETRY.
const std::vector<RowButton>& ButtonRow(UINT type)
{
    static const std::vector<RowButton> rows[] = {
        {{kOk, IDOK}},
        {{kOk, IDOK}, {kCancel, IDCANCEL}},
        {{kAbort, IDABORT}, {kRetry, IDRETRY}, {kIgnore, IDIGNORE}},
        {{kYes, IDYES}, {kNo, IDNO}, {kCancel, IDCANCEL}},
        {{kYes, IDYES}, {kNo, IDNO}},
        {{kRetry, IDRETRY}, {kCancel, IDCANCEL}},
        {{kCancel, IDCANCEL}, {kRetry, IDRETRY}, {kContinue, IDCONTINUE}},
    };
    static const std::vector<RowButton> none;
    const UINT row = type & 0xF;
    return row < sizeof(rows) / sizeof(rows[0]) ? rows[row] : none;
}

// The work area the box sizes itself in: that of its owner's monitor, else
// that of the primary monitor (a box without an owner has no size yet).
RECT BoxWorkArea(HWND box)
{
    HWND owner = GetParent(box);
    HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONULL) : nullptr;
    if (!monitor)
        monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

// The room the box gives its text: 70 pixels on its left, 20 on its right
// and 10 to spare; header, footer and the text's margins take 120 of its
// height.
constexpr int kTextSideRoom = 100;
constexpr int kTextRoomAbove = 120;

} // namespace

CString CCorvaneMsgBox::WrapText(const wchar_t* text, const char* style, int width)
{
    HFONT font = FindStyle(style).font;
    if (!font)
        font = SkFontPool::Instance().FontForStyle(0);
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    HGDIOBJ old = SelectObject(dc, font);
    CString wrapped = WrapTextToWidth(dc, text ? text : L"", width);
    SelectObject(dc, old);
    ReleaseDC(desktop, dc);
    return wrapped;
}

SIZE CCorvaneMsgBox::MeasureText(const wchar_t* text, const char* style, UINT format, int width, int height)
{
    HFONT font = FindStyle(style).font;
    if (!font)
        font = SkFontPool::Instance().FontForStyle(0);
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    HGDIOBJ old = SelectObject(dc, font);
    RECT rect = {0, 0, width, height};
    DrawTextW(dc, text, -1, &rect, format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(desktop, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

int CCorvaneMsgBox::Show(const wchar_t* text, const wchar_t* caption, UINT type)
{
    CCorvaneMsgBox box;
    return box.ShowMsg(text, caption, type);
}

int CCorvaneMsgBox::ShowMsg(const wchar_t* text, const wchar_t* caption, UINT type)
{
    if (!LoadLayout(IDR_MSGBOX_LAYOUT))
        return -1;
    m_presetTextSize = FALSE;
    m_text = text ? text : L"";
    m_shownText.Empty();
    m_type = type;
    m_view.SetItemVisible(IDC_MSGBOX_TEXTLINES, FALSE);
    m_view.SetItemVisible(IDC_MSGBOX_TEXT, TRUE);
    m_view.SetItemText(IDC_MSGBOX_TEXT, m_text);
    if (caption) {
        m_caption = caption;
        m_view.m_title = m_caption;
        m_view.SetItemText(IDC_MSGBOX_CAPTION, m_caption);
    }
    LayoutButtonsAndIcon();
    return DoModal();
}

void CCorvaneMsgBox::AddButton(const wchar_t* caption, UINT id)
{
    const SkStyle& style = FindStyle("normalbtn");
    SIZE size = MeasureText(caption, "normalbtn", style.textmode, 1000, 1000);
    const int width = size.cx + 2 * style.xMargin;
    m_buttons.push_back({caption, id, std::max(width, kMinButtonWidth)});
}

void CCorvaneMsgBox::BuildButtons()
{
    if (m_type & kNoButtons)
        return;
    m_buttons.clear();
    for (const RowButton& button : ButtonRow(m_type))
        AddButton(SkString::Text(button.caption), button.id);
}

void CCorvaneMsgBox::LayoutButtonsAndIcon()
{
    BuildButtons();
    int total = 0;
    for (const Button& button : m_buttons)
        total += button.width;
    if (!m_buttons.empty())
        total += kButtonGap * static_cast<int>(m_buttons.size() - 1);

    CString buttons;
    int x = 0;
    for (const Button& button : m_buttons) {
        CString one;
        one.Format(SkString::Text(kButtonTemplate), button.id, x, x + button.width,
                   button.caption.GetString());
        buttons += one;
        x += button.width + kButtonGap;
    }
    CString row;
    row.Format(SkString::Text(kRowTemplate), total / 2, total / 2, buttons.GetString());
    m_view.SetPanelXml(IDC_MSGBOX_BUTTONS, row.ToUtf8());

    static const UINT icons[] = {0, 32513, 32514, 32515, 32516}; // IDI_HAND ... IDI_ASTERISK
    const UINT iconType = (m_type & 0xF0) >> 4;
    if (iconType == 0) {
        m_view.SetItemVisible(IDC_MSGBOX_ICON, FALSE);
    } else if (iconType < sizeof(icons) / sizeof(icons[0])) {
        m_view.SetItemIntAttribute(IDC_MSGBOX_ICON, "src", icons[iconType]);
    } else {
        m_view.SetItemIntAttribute(IDC_MSGBOX_ICON, "src", 0);
        m_view.SetItemIntAttribute(IDC_MSGBOX_ICON, "oem", 0);
        m_view.SetItemVisible(IDC_MSGBOX_ICON, FALSE);
    }
    m_view.SetItemVisible(IDC_MSGBOX_CHECK, FALSE);
}

BOOL CCorvaneMsgBox::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return TRUE;
    case WM_NOTIFY:
        if (const SkItemClickNotify* click = AsItemClick(hwnd, lParam)) {
            OnSkCommand(*click);
            result = 0;
            return TRUE;
        }
        if (OnTextKey(lParam)) {
            result = 1; // the rich edit does not see the key
            return TRUE;
        }
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    default:
        break;
    }
    return CSkDialogImpl::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
}

void CCorvaneMsgBox::OnInitDialog()
{
    InterlockedIncrement(&g_boxesOnScreen);
    m_counted = true;
    MsgBoxOnScreen = TRUE;
    if (m_caption.IsEmpty()) {
        const int length = GetWindowTextLengthW(m_hWnd);
        GetWindowTextW(m_hWnd, m_caption.GetBuffer(length + 1), length + 1);
        m_caption.ReleaseBuffer();
    }

    // The box never grows past the work area: a text too wide for it wraps,
    // one too high for it scrolls.
    const RECT work = BoxWorkArea(m_hWnd);
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    const int captionWidth = MeasureText(m_caption, "dlgtitle", 0, workWidth, workHeight).cx + 100;
    SIZE text = {m_textSize.right - m_textSize.left, m_textSize.bottom - m_textSize.top};
    const UINT textMode = FindStyle("msgtext").textmode;
    if (!m_presetTextSize) {
        text = MeasureText(m_text, "msgtext", textMode, workWidth, workHeight);
        if (text.cx + kTextSideRoom > workWidth) {
            const int room = workWidth - kTextSideRoom;
            m_shownText = WrapText(m_text, "msgtext", room);
            m_view.SetItemText(IDC_MSGBOX_TEXT, m_shownText);
            text = MeasureText(m_shownText, "msgtext", textMode, room, workHeight);
        }
    }
    const int width =
        std::min(std::max({captionWidth, static_cast<int>(text.cx) + kTextSideRoom, kMinWidth}), workWidth);
    const int height = std::max(static_cast<int>(text.cy) + kTextRoomAbove, kMinHeight);
    MoveWindow(m_hWnd, work.left, work.top, width, std::min(height, workHeight), FALSE);
    if (height > workHeight && !m_presetTextSize)
        ShowScrollingText();
}

// A text higher than the box can be is shown in a read-only rich edit over
// the text item, with a scroll bar, in the item's font and colour.
void CCorvaneMsgBox::ShowScrollingText()
{
    static const HMODULE richEdit = LoadLibraryW(L"riched20.dll");
    CSkWindow* item = m_view.FindItem(IDC_MSGBOX_TEXT);
    if (!richEdit || !item)
        return;
    const RECT area = item->m_rect;
    m_scrollText = CreateWindowExW(
        0, RICHEDIT_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
        area.left, area.top, area.right - area.left, area.bottom - area.top, m_view.m_hWnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_MSGBOX_SCROLLTEXT)), ThisModuleInstance(), nullptr);
    if (!m_scrollText)
        return;
    const SkStyle& style = FindStyle("msgtext");
    HFONT font = style.font ? style.font : SkFontPool::Instance().FontForStyle(0);
    SendMessageW(m_scrollText, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.crTextColor = style.crtext != CLR_INVALID ? style.crtext : RGB(0, 0, 0);
    SendMessageW(m_scrollText, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(m_scrollText, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
    // The text goes in with its lines already cut for the edit's width (less
    // its scroll bar): an edit that wraps a long line itself takes time that
    // grows with the square of the line's length.
    RECT editArea = {};
    SendMessageW(m_scrollText, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&editArea));
    const int room = editArea.right - editArea.left - GetSystemMetrics(SM_CXVSCROLL) - 2;
    SetWindowTextW(m_scrollText, WrapText(m_text, "msgtext", room));
    // Enter and Escape pressed in it still answer the box.
    SendMessageW(m_scrollText, EM_SETEVENTMASK, 0, ENM_KEYEVENTS);
    m_view.SetItemVisible(IDC_MSGBOX_TEXT, FALSE);
}

UINT CCorvaneMsgBox::EnterAnswer() const
{
    if (m_buttons.empty())
        return 0;
    const size_t chosen = (m_type & MB_DEFMASK) >> 8;
    return m_buttons[chosen < m_buttons.size() ? chosen : 0].id;
}

UINT CCorvaneMsgBox::EscapeAnswer() const
{
    for (const Button& button : m_buttons)
        if (button.id == IDCANCEL)
            return IDCANCEL;
    if (m_buttons.size() == 1 && m_buttons[0].id == IDOK)
        return IDOK;
    return IDC_MSGBOX_CLOSE;
}

void CCorvaneMsgBox::OnSkCommand(const SkItemClickNotify& click)
{
    // The buttons and the close button end the box with their ids; Enter,
    // Escape and WM_CLOSE come as clicks on 1 and 2 with an empty class.
    const char* itemClass = click.itemClass ? click.itemClass : "";
    if (std::strcmp(itemClass, "button") == 0 || std::strcmp(itemClass, "imgbtn") == 0) {
        EndDialog(static_cast<int>(click.itemId));
    } else if (itemClass[0] == '\0' && click.itemId == IDOK) {
        if (const UINT answer = EnterAnswer())
            EndDialog(static_cast<int>(answer));
    } else if (itemClass[0] == '\0' && click.itemId == IDCANCEL) {
        EndDialog(static_cast<int>(EscapeAnswer()));
    }
}

BOOL CCorvaneMsgBox::OnTextKey(LPARAM lParam)
{
    // The rich edit sends its filter from its own thread's stack: anything
    // else is not its record and is not read.
    const auto* message = ControlNotifyRecord<MSGFILTER>(m_hWnd, lParam, EN_MSGFILTER);
    if (!m_scrollText || !message || message->nmhdr.hwndFrom != m_scrollText)
        return FALSE;
    const MSGFILTER& filter = *message;
    if (filter.msg != WM_KEYDOWN || (filter.wParam != VK_RETURN && filter.wParam != VK_ESCAPE))
        return FALSE;
    SendMessageW(m_hWnd, WM_KEYDOWN, filter.wParam, filter.lParam);
    return TRUE;
}

void CCorvaneMsgBox::OnDestroy()
{
    m_scrollText = nullptr; // goes with the view
    if (!m_counted)
        return;
    m_counted = false;
    if (InterlockedDecrement(&g_boxesOnScreen) == 0)
        MsgBoxOnScreen = FALSE;
}
