// Messages whose wParam is the address of a block on the sender's side.
//
// Any process on the desktop can send or post any message to a window, with
// any number as wParam, and can read and set any property of the window, so
// neither the number nor anything kept on the window tells a block of ours
// from a foreign one. The sender records the block in a table of this
// module's memory for the length of the call, under the window, the message
// and the block's kind (a number for each record layout sent this way); the
// receiver acts only on an address recorded there for its own window and
// message and the kind it expects, and takes it out of the table, so that
// each block is acted on at most once and never read as a record of another
// kind. Only code of this module can reach the table; a module whose
// windows receive another module's blocks asks that module through a
// function of its own.
#pragma once

#include <windows.h>

// Sends msg with the block's address as wParam and lParam 0, the block in
// flight for the call. Sends from several threads of this module go one at a
// time; one made while the window handles another (on the window's own
// thread) may nest.
LRESULT SendMarked(HWND hwnd, UINT msg, UINT kind, const void* block);

// True once for a wParam that this module is sending now to hwnd with msg as
// a block of this kind, asked on hwnd's own thread; the block is taken out of
// the table. False for anything else (null included).
bool TakeMark(HWND hwnd, UINT msg, UINT kind, WPARAM wParam);

// The block behind wParam when it is in flight for this window, message and
// kind, else null.
template <typename T> const T* TakeMarkedBlock(HWND hwnd, UINT msg, UINT kind, WPARAM wParam)
{
    return TakeMark(hwnd, msg, kind, wParam) ? reinterpret_cast<const T*>(wParam) : nullptr;
}
