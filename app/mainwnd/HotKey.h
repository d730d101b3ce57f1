// The user's hot key (the "boss key") that hides and shows the main window.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// The global atom whose value, less 0xC000, is the hot key's id.
extern const wchar_t kHotKeyAtomName[];

// Adds the atom (one more reference each call) and returns the hot key's id.
int HotKeyId();

// The modifiers named in a hot-key text such as "Ctrl+Shift+[F5]": "Ctrl",
// "Shift" and "Alt" (exact case) between "+"; any other piece is the key
// name, the last one winning.
UINT HotKeyModifiersFromText(const CString& text, CString& keyName);

// Registers the hot key from its stored settings: the text gives only the
// modifiers, the key is always the stored virtual-key code. Nothing is
// registered when the text names no key. RegisterHotKey's result, which the
// program does not report.
BOOL RegisterHotKeyFromText(HWND hwnd, const CString& text, int id, UINT vk);
