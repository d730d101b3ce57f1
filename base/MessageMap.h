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
//
// A window with many handlers may keep its map as a table instead: entries
// tried in order, each for one message (or kAnyMessage, for a chained map at
// its place in the chain), whose function unpacks wParam and lParam for a
// typed member handler and returns TRUE when the message was taken:
//
//     const MessageEntry<CMyDlg> CMyDlg::s_messages[] = {
//         {WM_TIMER, [](CMyDlg& dlg, HWND, UINT, WPARAM wParam, LPARAM, LRESULT&) -> BOOL {
//              dlg.OnTimer(wParam);
//              return FALSE; // and on down the map
//          }},
//         {WM_HOTKEY, [](CMyDlg& dlg, HWND, UINT, WPARAM, LPARAM, LRESULT& result) -> BOOL {
//              result = dlg.OnHotKey();
//              return TRUE;
//          }},
//         {kAnyMessage, [](CMyDlg& dlg, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
//                          LRESULT& result) -> BOOL {
//              return dlg.CBaseDlg::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
//          }},
//     };
//
//     BOOL CMyDlg::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
//                                       LRESULT& result)
//     {
//         return ProcessMessageTable(s_messages, *this, hwnd, msg, wParam, lParam, result);
//     }
#pragma once

#include <windows.h>

#include <cstddef>

class CMessageMap {
public:
    virtual BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

protected:
    ~CMessageMap() = default;
};

// The entry of a message table that stands for every message.
constexpr UINT kAnyMessage = 0xFFFFFFFFu;

template <typename T> struct MessageEntry {
    UINT msg; // or kAnyMessage
    BOOL (*handle)(T& window, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
};

// Tries the table's entries for msg in order; TRUE from the first that took it.
template <typename T, std::size_t N>
BOOL ProcessMessageTable(const MessageEntry<T> (&table)[N], T& window, HWND hwnd, UINT msg, WPARAM wParam,
                         LPARAM lParam, LRESULT& result)
{
    for (const MessageEntry<T>& entry : table) {
        if ((entry.msg == msg || entry.msg == kAnyMessage) &&
            entry.handle(window, hwnd, msg, wParam, lParam, result))
            return TRUE;
    }
    return FALSE;
}
