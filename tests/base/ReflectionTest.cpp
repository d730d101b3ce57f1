#include "TestWindows.h"

#include "base/NotifyRecord.h"
#include "base/Reflection.h"
#include "tests/support/ForeignNotify.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr UINT kChildId = 77;

// A parent whose map reflects, and a child that answers reflected messages
// with 5 (a WM_CTLCOLOR one with the brush it is given, which may be none).
class ReflectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent.handler = [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            return ReflectNotifications(parent.m_hWnd, msg, wParam, lParam, result);
        };
        ASSERT_TRUE(parent.CreatePopup());
        child.handler = [this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
            if (msg < kReflectedMessageBase)
                return FALSE;
            result = msg - kReflectedMessageBase >= WM_CTLCOLORMSGBOX &&
                             msg - kReflectedMessageBase <= WM_CTLCOLORSTATIC
                         ? reinterpret_cast<LRESULT>(childBrush)
                         : 5;
            return TRUE;
        };
        ASSERT_TRUE(child.CreateChild(parent.m_hWnd, kChildId));
        child.messages.clear();
    }
    void TearDown() override { parent.DestroyWindow(); }

    CRecordingWindow parent;
    CRecordingWindow child;
    HBRUSH childBrush = nullptr;
};

} // namespace

TEST_F(ReflectionTest, NotificationsReachTheChildTheyCameFrom)
{
    HWND c = child.m_hWnd;
    NMHDR hdr = {c, kChildId, static_cast<UINT>(NM_CUSTOMDRAW)};
    DRAWITEMSTRUCT draw = {};
    draw.CtlID = kChildId;
    draw.hwndItem = c;
    MEASUREITEMSTRUCT measure = {};
    measure.CtlID = kChildId;
    struct Case {
        const char* what;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Case cases[] = {
        {"notify", WM_NOTIFY, kChildId, reinterpret_cast<LPARAM>(&hdr)},
        {"command", WM_COMMAND, MAKEWPARAM(kChildId, BN_CLICKED), reinterpret_cast<LPARAM>(c)},
        {"hscroll", WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(c)},
        {"draw item", WM_DRAWITEM, kChildId, reinterpret_cast<LPARAM>(&draw)},
        {"measure item by id", WM_MEASUREITEM, kChildId, reinterpret_cast<LPARAM>(&measure)},
        {"parent notify create", WM_PARENTNOTIFY, WM_CREATE, reinterpret_cast<LPARAM>(c)},
        {"parent notify click by id", WM_PARENTNOTIFY, MAKEWPARAM(WM_LBUTTONDOWN, kChildId),
         MAKELPARAM(3, 4)},
    };
    for (const Case& k : cases) {
        child.messages.clear();
        EXPECT_EQ(5, SendMessageW(parent.m_hWnd, k.msg, k.wParam, k.lParam)) << k.what;
        ASSERT_EQ(1u, child.messages.size()) << k.what;
        EXPECT_EQ(kReflectedMessageBase + k.msg, child.messages[0]) << k.what;
    }
}

TEST_F(ReflectionTest, WhatHasNoChildIsNotTaken)
{
    NMHDR fromNobody = {nullptr, 0, 1};
    DRAWITEMSTRUCT menuDraw = {};
    menuDraw.hwndItem = child.m_hWnd;
    struct Case {
        const char* what;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Case cases[] = {
        {"notify without sender", WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&fromNobody)},
        {"menu command", WM_COMMAND, 40001, 0},
        {"menu item drawing", WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuDraw)},
        {"click on an unknown id", WM_PARENTNOTIFY, MAKEWPARAM(WM_LBUTTONDOWN, 999), 0},
        {"not a notification", WM_SIZE, 0, 0},
    };
    for (const Case& k : cases) {
        LRESULT result = 123;
        EXPECT_FALSE(ReflectNotifications(parent.m_hWnd, k.msg, k.wParam, k.lParam, result)) << k.what;
        EXPECT_EQ(123, result) << k.what;
    }
    EXPECT_TRUE(child.messages.empty());
}

// WM_NOTIFY from another thread or posted names no control, whatever its
// lParam: 0x10, a freed block, or a readable block naming the child. The
// same block sent as a notification of this thread is reflected.
TEST_F(ReflectionTest, ForeignNotificationsReachNoChild)
{
    auto named = std::make_unique<NMHDR>(NMHDR{child.m_hWnd, kChildId, static_cast<UINT>(NM_CUSTOMDRAW)});
    const LPARAM blocks[] = {0x10, FreedBlockAddress(), reinterpret_cast<LPARAM>(named.get())};
    for (LPARAM block : blocks) {
        EXPECT_TRUE(SendNotifyFromAnotherThread(parent.m_hWnd, kChildId, block));
        PostNotify(parent.m_hWnd, kChildId, block);
    }
    EXPECT_TRUE(child.messages.empty());
    EXPECT_EQ(5, SendNotifyRecord(parent.m_hWnd, kChildId, *named));
    EXPECT_EQ(1u, child.messages.size());
}

TEST_F(ReflectionTest, ColourMessagesCountOnlyWithABrush)
{
    HDC dc = GetDC(child.m_hWnd);
    LRESULT result = 0;
    EXPECT_FALSE(ReflectNotifications(parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(child.m_hWnd), result));
    childBrush = GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_TRUE(ReflectNotifications(parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(child.m_hWnd), result));
    EXPECT_EQ(reinterpret_cast<LRESULT>(childBrush), result);
    ReleaseDC(child.m_hWnd, dc);
    EXPECT_EQ(2u, child.messages.size());
}

// Real controls: an owner-drawn button asks its parent to draw it and an edit
// reports its changes; both come back to the subclassed controls.
TEST_F(ReflectionTest, RealControlsGetTheirOwnNotificationsBack)
{
    HWND button =
        CreateWindowExW(0, L"BUTTON", L"ok", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 30, 60, 20,
                        parent.m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(81)), nullptr, nullptr);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 60, 60, 20, parent.m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(82)), nullptr, nullptr);
    ASSERT_TRUE(button && edit);
    CRecordingWindow buttonObject, editObject;
    UINT drawnId = 0;
    UINT editCode = 0;
    buttonObject.handler = [&](UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
        if (msg != kReflectedMessageBase + WM_DRAWITEM)
            return FALSE;
        drawnId = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlID;
        result = TRUE;
        return TRUE;
    };
    editObject.handler = [&](UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
        if (msg == kReflectedMessageBase + WM_COMMAND)
            editCode = HIWORD(wParam);
        return FALSE;
    };
    ASSERT_TRUE(buttonObject.SubclassWindow(button));
    ASSERT_TRUE(editObject.SubclassWindow(edit));

    ShowWindow(parent.m_hWnd, SW_SHOWNA);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(81u, drawnId);
    SetWindowTextW(edit, L"changed");
    EXPECT_EQ(static_cast<UINT>(EN_CHANGE), editCode);
}
