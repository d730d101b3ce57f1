#include "app/dialogs/MyEdit.h"

namespace {

bool IsDown(int vk)
{
    return (GetKeyState(vk) & 0x8000) != 0;
}

CString WindowText(HWND hwnd)
{
    CString text;
    const int length = GetWindowTextLengthW(hwnd);
    GetWindowTextW(hwnd, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
    return text;
}

} // namespace

CString HotKeyKeyName(UINT vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return CString(static_cast<wchar_t>(vk));
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
        CString name;
        name.Format(L"%d[Num]", static_cast<int>(vk - VK_NUMPAD0));
        return name;
    }
    if (vk >= VK_F1 && vk <= VK_F12) {
        CString name;
        name.Format(L"[F%d]", static_cast<int>(vk - VK_F1 + 1));
        return name;
    }
    struct Named {
        UINT vk;
        const wchar_t* name;
    };
    static const Named kNames[] = {
        {0xBA, L";"},          {0xBB, L"="},          {0xBC, L","},          {0xBD, L"-"},
        {0xBE, L"."},          {0xBF, L"/"},          {0xC0, L"`"},          {0xDB, L"["},
        {0xDC, L"\\"},         {0xDD, L"]"},          {0xDE, L"'"},          {VK_BACK, L"[BK]"},
        {VK_TAB, L"[TAB]"},    {VK_RETURN, L"[EN]"},  {VK_ESCAPE, L"[ESC]"}, {VK_SPACE, L"[SP]"},
        {VK_PRIOR, L"[PU]"},   {VK_NEXT, L"[PD]"},    {VK_END, L"[END]"},    {VK_HOME, L"[HOME]"},
        {VK_LEFT, L"[LF]"},    {VK_UP, L"[UF]"},      {VK_RIGHT, L"[RF]"},   {VK_DOWN, L"[DF]"},
        {VK_INSERT, L"[INS]"}, {VK_DELETE, L"[DEL]"},
    };
    for (const Named& named : kNames)
        if (named.vk == vk)
            return named.name;
    return CString();
}

BOOL CMyEdit::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    switch (msg) {
    case WM_GETDLGCODE:
        result = DLGC_WANTALLKEYS;
        return TRUE;
    // With Alt held keys come as system keys; they name a hot key as well.
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        BuildHotKeyText(static_cast<UINT>(wParam));
        result = 0;
        return TRUE;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        OnKeyUp();
        result = 0;
        return TRUE;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_MOUSEMOVE:
    case WM_RBUTTONUP:
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

void CMyEdit::BuildHotKeyText(UINT vk)
{
    CString text;
    if (IsDown(VK_CONTROL))
        text += L"Ctrl+";
    if (IsDown(VK_SHIFT))
        text += L"Shift+";
    if (IsDown(VK_MENU))
        text += L"Alt+";
    text += HotKeyKeyName(vk);
    SetWindowTextW(m_hWnd, text);
    m_nVirtualKey = static_cast<int>(vk);
}

void CMyEdit::OnKeyUp()
{
    const CString text = WindowText(m_hWnd);
    if (!text.IsEmpty() && text[text.GetLength() - 1] == L'+')
        SetWindowTextW(m_hWnd, L"");
}
