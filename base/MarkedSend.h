// Messages whose wParam is the address of a block on the sender's side.
//
// Any process on the desktop can send or post any message to a window, with
// any number as wParam, so a window must never read through an address it
// was handed without knowing that this process made the block for it. The
// sender marks the window for the length of the call: the window property
// named mark holds the block's address. The receiver acts only on an address
// it finds there, and takes the mark away, so that each block is acted on at
// most once. A process that could set a property on our window could as well
// write into our memory; one that can only send messages cannot forge a mark.
#pragma once

#include <windows.h>

// Sends msg with the block's address as wParam and lParam 0, the window marked
// for the call. Sends with the same mark from several threads of this module
// go one at a time; one made while the window handles another (on the
// window's own thread) keeps the outer block's mark.
LRESULT SendMarked(HWND hwnd, const wchar_t* mark, UINT msg, const void* block);

// True once for a wParam that the window's mark names; the mark is taken
// away. False for anything else (null included).
bool TakeMark(HWND hwnd, const wchar_t* mark, WPARAM wParam);

// The block behind wParam when the window was marked for it, else null.
template <typename T> const T* TakeMarkedBlock(HWND hwnd, const wchar_t* mark, WPARAM wParam)
{
    return TakeMark(hwnd, mark, wParam) ? reinterpret_cast<const T*>(wParam) : nullptr;
}
