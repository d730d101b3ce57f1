// The boss-key edit of the settings dialog: pressing a key shows its name
// with the modifiers held ("Ctrl+Shift+[F5]") instead of typing it, and
// keeps the key's virtual-key code.
#pragma once

#include <windows.h>

#include "base/RefString.h"
#include "base/WindowImpl.h"

// The name the edit shows for a virtual key: "A", "5[Num]", "[F5]", ";",
// "[SP]" and so on; empty for keys without one (the modifiers among them).
CString HotKeyKeyName(UINT vk);

class CMyEdit : public CWindowImpl {
public:
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Shows the key's name after the modifiers held now and keeps the code.
    void BuildHotKeyText(UINT vk);
    // Clears a text that ends in "+": only modifiers were held.
    void OnKeyUp();

    int m_nVirtualKey = 0; // the last key pressed here; 0 until one is
};
