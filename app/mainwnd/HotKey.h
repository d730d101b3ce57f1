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

// True when the text names a key besides its modifiers. A blank name (the
// " " stored when the boss key is turned off) or modifiers alone name none.
bool HotKeyTextNamesKey(const CString& text);

// Registers the hot key: the text gives only the modifiers, the key is
// always the virtual-key code given. Nothing is registered when the text
// names no key or the code is 0. RegisterHotKey's result, which the program
// does not report. The main window uses it at start with the stored
// settings, the settings dialog when the boss key is saved.
BOOL RegisterHotKeyFromText(HWND hwnd, const CString& text, int id, UINT vk);
