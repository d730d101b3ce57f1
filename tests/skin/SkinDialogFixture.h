// Skin dialogs for the view, dialog and frame tests. Each records the
// notifications and system commands it gets; system commands are taken
// here, so no test ever enters the system's move or size loop. A modal run
// that is still going after a while is ended by a watchdog timer with -1
// and a test failure, so that no loop is left waiting for a person.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/SkDialogImpl.h"
#include "skin/SkSizeableRoundRect.h"

struct NotifyRecord {
    HWND from;
    UINT_PTR idFrom;
    UINT code;
    WPARAM wParam;
    UINT itemId;           // click, realwnd moved, tab change
    std::string itemClass; // click
    RECT rect;             // realwnd moved
    int newSel;            // tab change
    int oldSel;
};

constexpr UINT_PTR kWatchdogTimer = 0x7D0;
constexpr UINT kWatchdogMs = 15000;

template <template <typename> class Frame>
class CRecordingDialog : public CSkDialogImpl<CRecordingDialog<Frame>, Frame<CRecordingDialog<Frame>>> {
    using Base = CSkDialogImpl<CRecordingDialog<Frame>, Frame<CRecordingDialog<Frame>>>;

public:
    using Handler = std::function<BOOL(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    explicit CRecordingDialog(UINT layoutId = 0) : Base(layoutId) {}

    std::vector<NotifyRecord> notifications;
    std::vector<WPARAM> sysCommands;
    // The dialog's own entries, tried first.
    Handler handler;
    // Runs in WM_INITDIALOG.
    std::function<void(CRecordingDialog&)> onInit;
    // Set on a tab change to refuse it.
    BOOL vetoTabChange = FALSE;
    bool watchdogFired = false;

    std::vector<NotifyRecord> Clicks() const { return Only(SKN_ITEM_CLICK); }
    std::vector<NotifyRecord> Only(UINT code) const
    {
        std::vector<NotifyRecord> found;
        for (const NotifyRecord& record : notifications)
            if (record.code == code)
                found.push_back(record);
        return found;
    }

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (handler && handler(msg, wParam, lParam, result))
            return TRUE;
        switch (msg) {
        case WM_INITDIALOG:
            SetTimer(hwnd, kWatchdogTimer, kWatchdogMs, nullptr);
            if (onInit)
                onInit(*this);
            result = TRUE;
            return TRUE;
        case WM_TIMER:
            if (wParam != kWatchdogTimer)
                break;
            KillTimer(hwnd, kWatchdogTimer);
            watchdogFired = true;
            ADD_FAILURE() << "a modal loop was still running; the watchdog ended it";
            this->EndDialog(-1);
            result = 0;
            return TRUE;
        case WM_SYSCOMMAND:
            sysCommands.push_back(wParam);
            result = 0;
            return TRUE;
        case WM_NOTIFY:
            Record(wParam, lParam);
            break;
        default:
            break;
        }
        return Base::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
    }

private:
    void Record(WPARAM wParam, LPARAM lParam)
    {
        const auto* hdr = OurNotifyRecord<NMHDR>(this->m_hWnd, lParam);
        if (!hdr)
            hdr = ControlNotifyHeader(this->m_hWnd, lParam);
        if (!hdr)
            return; // not a notification of this thread: nothing to read
        NotifyRecord record = {hdr->hwndFrom, hdr->idFrom, hdr->code, wParam, 0, {}, {}, 0, 0};
        if (hdr->code == SKN_ITEM_CLICK) {
            const auto* click = reinterpret_cast<const SkItemClickNotify*>(lParam);
            record.itemId = click->itemId;
            record.itemClass = click->itemClass ? click->itemClass : "(null)";
        } else if (hdr->code == SKN_REALWND_MOVED) {
            const auto* moved = reinterpret_cast<const SkRealWndMovedNotify*>(lParam);
            record.itemId = moved->itemId;
            record.rect = moved->rect;
        } else if (hdr->code == SKN_TAB_CHANGING) {
            auto* change = reinterpret_cast<SkTabChangeNotify*>(lParam);
            record.itemId = change->tabCtrlId;
            record.newSel = change->newSel;
            record.oldSel = change->oldSel;
            if (vetoTabChange)
                change->cancel = TRUE;
        }
        notifications.push_back(record);
    }
};

using CTestDialog = CRecordingDialog<CUiRoundRectFrameHelper>;
using CSizeableTestDialog = CRecordingDialog<CUiSizeableRoundRect>;

// Dispatches every message that is waiting, without blocking.
inline void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Drops a WM_QUIT left in the queue; its exit code, or -1 when none.
// Where the real pointer waits, away from the tests' windows, so that only
// a test's own messages move over them.
inline void ParkPointer()
{
    SetCursorPos(1270, 1010);
}

// On a busy machine the display can still put the pointer where the last
// test left it as a new window comes up, and the view takes the hover it
// starts. Keeps the pointer parked until the view has had the leave; false
// when it has not within 5 s.
inline bool SettleRealPointer(const CSkDialogView& view)
{
    const ULONGLONG end = GetTickCount64() + 5000;
    PumpPending();
    while (view.m_tracking) {
        if (GetTickCount64() >= end)
            return false;
        ParkPointer();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpPending();
    }
    return true;
}

inline int TakeQuit()
{
    MSG msg;
    int code = -1;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT)
            code = static_cast<int>(msg.wParam);
    return code;
}

inline LPARAM Point(int x, int y)
{
    return MAKELPARAM(x, y);
}

// Mouse input as the view gets it: the cursor is put there too, so that
// the system's own mouse tracking agrees with the messages.
inline void MouseMove(HWND view, int x, int y, WPARAM keys = 0)
{
    POINT screen = {x, y};
    ClientToScreen(view, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(view, WM_MOUSEMOVE, keys, Point(x, y));
}

inline void Press(HWND view, int x, int y)
{
    MouseMove(view, x, y);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
}

inline void Release(HWND view, int x, int y)
{
    SendMessageW(view, WM_LBUTTONUP, 0, Point(x, y));
}

inline void Click(HWND view, int x, int y)
{
    Press(view, x, y);
    Release(view, x, y);
}
