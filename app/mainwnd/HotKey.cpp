#include "app/mainwnd/HotKey.h"

#include <vector>

#include "app/common/TextUtils.h"

const wchar_t kHotKeyAtomName[] = L"RavoltHotKey";

int HotKeyId()
{
    return static_cast<int>(GlobalAddAtomW(kHotKeyAtomName)) - 0xC000;
}

UINT HotKeyModifiersFromText(const CString& text, CString& keyName)
{
    std::vector<CString> pieces;
    SplitString(text, L"+", pieces, 0, L"");
    UINT modifiers = 0;
    keyName.Empty();
    for (const CString& piece : pieces) {
        if (piece == L"Ctrl")
            modifiers |= MOD_CONTROL;
        else if (piece == L"Shift")
            modifiers |= MOD_SHIFT;
        else if (piece == L"Alt")
            modifiers |= MOD_ALT;
        else
            keyName = piece;
    }
    return modifiers;
}

bool HotKeyTextNamesKey(const CString& text)
{
    CString keyName;
    HotKeyModifiersFromText(text, keyName);
    keyName.Trim();
    return !keyName.IsEmpty();
}

BOOL RegisterHotKeyFromText(HWND hwnd, const CString& text, int id, UINT vk)
{
    CString keyName;
    const UINT modifiers = HotKeyModifiersFromText(text, keyName);
    keyName.Trim();
    if (keyName.IsEmpty() || vk == 0)
        return FALSE;
    return RegisterHotKey(hwnd, id, modifiers, vk);
}
