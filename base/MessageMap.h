// The message map of a window object.
//
// A class's map is its ProcessWindowMessage: a plain chain of tests written
// in that class, in the order the messages are to be tried. It returns TRUE
// when it took the message (the window procedure then returns result) and
// FALSE to let the message go on to the default procedure.
//
// Chaining is a call to the base class's or a helper's ProcessWindowMessage
// at the place in the chain where its entries belong:
//
//     BOOL CMyDlg::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
//                                       LRESULT& result)
//     {
//         if (msg == WM_TIMER) {
//             BOOL handled = TRUE;
//             result = OnTimer(wParam, handled);  // may clear handled
//             if (handled)
//                 return TRUE;
//         }
//         if (CFrameHelper::ProcessWindowMessage(hwnd, msg, wParam, lParam, result))
//             return TRUE;
//         return CBaseDlg::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
//     }
//
// A handler that decides at run time whether it took a message gets a
// BOOL& handled that is TRUE when it is called; it sets it to FALSE to let
// the message go on down the map (the next entries, the chained maps, and at
// the end the default procedure).
#pragma once

#include <windows.h>

class CMessageMap {
public:
    virtual BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

protected:
    ~CMessageMap() = default;
};
