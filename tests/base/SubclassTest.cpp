#include "TestWindows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HWND MakeEdit(HWND parent = nullptr)
{
    DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP;
    return CreateWindowExW(0, L"EDIT", L"", style | ES_AUTOHSCROLL, 0, 0, 100, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(parent ? 55 : 0)), nullptr, nullptr);
}

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, 128);
    return text;
}

// Swallows typed characters, as the hot-key edit does.
BOOL SwallowChars(UINT msg, WPARAM, LPARAM, LRESULT& result)
{
    if (msg != WM_CHAR)
        return FALSE;
    result = 0;
    return TRUE;
}

WNDPROC g_chainedProc = nullptr;
int g_outerCalls = 0;

LRESULT CALLBACK OuterProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ++g_outerCalls;
    return CallWindowProcW(g_chainedProc, hwnd, msg, wParam, lParam);
}

} // namespace

TEST(Subclass, ObjectTakesOverAnEditAndLeavesTheRestToIt)
{
    HWND edit = MakeEdit();
    ASSERT_TRUE(edit);
    const LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    SetWindowLongPtrW(edit, GWLP_USERDATA, 0x5A5A);

    CRecordingWindow object;
    object.handler = SwallowChars;
    ASSERT_TRUE(object.SubclassWindow(edit));
    EXPECT_EQ(edit, object.m_hWnd);
    EXPECT_EQ(&object, CWindowImpl::FromHandle(edit));
    EXPECT_EQ(0x5A5A, GetWindowLongPtrW(edit, GWLP_USERDATA)); // the window's own slot stays its own

    SendMessageW(edit, WM_CHAR, L'x', 1);
    EXPECT_EQ(L"", TextOf(edit));
    SetWindowTextW(edit, L"Ctrl+Alt+K");
    EXPECT_EQ(L"Ctrl+Alt+K", TextOf(edit));
    EXPECT_TRUE(object.Saw(WM_CHAR));
    EXPECT_TRUE(object.Saw(WM_SETTEXT));
    EXPECT_EQ(10, object.DefaultProc(WM_GETTEXTLENGTH, 0, 0));

    // Nobody takes a window twice.
    CRecordingWindow second;
    EXPECT_FALSE(second.SubclassWindow(edit));
    EXPECT_FALSE(object.SubclassWindow(MakeEdit()));

    EXPECT_EQ(edit, object.UnsubclassWindow());
    EXPECT_EQ(nullptr, object.m_hWnd);
    EXPECT_EQ(original, GetWindowLongPtrW(edit, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, CWindowImpl::FromHandle(edit));
    SetWindowTextW(edit, L"");
    SendMessageW(edit, WM_CHAR, L'y', 1);
    EXPECT_EQ(L"y", TextOf(edit));
    EXPECT_EQ(0, object.finalCalls);

    // And it can be taken again.
    EXPECT_TRUE(second.SubclassWindow(edit));
    DestroyWindow(edit);
    EXPECT_EQ(nullptr, second.m_hWnd);
    EXPECT_EQ(1, second.finalCalls);
    EXPECT_TRUE(second.Saw(WM_NCDESTROY));
}

TEST(Subclass, RefusesWhatIsNoWindowOrAlreadyOurs)
{
    CRecordingWindow object;
    EXPECT_FALSE(object.SubclassWindow(nullptr));
    HWND gone = MakeEdit();
    DestroyWindow(gone);
    EXPECT_FALSE(object.SubclassWindow(gone));

    CRecordingWindow own;
    ASSERT_TRUE(own.CreatePopup());
    EXPECT_FALSE(object.SubclassWindow(own.m_hWnd));
    EXPECT_EQ(nullptr, object.UnsubclassWindow());
    own.DestroyWindow();
}

// Any process can read and set a window's properties and slots: whatever it
// plants there, the subclassed window still reaches its object and its
// former procedure.
TEST(Subclass, WhatIsPlantedOnTheWindowChangesNothing)
{
    HWND edit = MakeEdit();
    ASSERT_TRUE(edit);
    CRecordingWindow object;
    object.handler = SwallowChars;
    ASSERT_TRUE(object.SubclassWindow(edit));
    std::vector<std::wstring> names = {L"Ravonyx.WindowObject", L"Ravonyx.FormerWindowProc"};
    EnumPropsExW(
        edit,
        [](HWND, LPWSTR name, HANDLE, ULONG_PTR param) -> BOOL {
            if (!IS_INTRESOURCE(name))
                reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(name);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&names));
    for (const std::wstring& name : names)
        SetPropW(edit, name.c_str(), reinterpret_cast<HANDLE>(0x10));
    SetWindowLongPtrW(edit, GWLP_USERDATA, 0x10);

    SendMessageW(edit, WM_CHAR, L'x', 1);
    EXPECT_EQ(L"", TextOf(edit));
    EXPECT_EQ(&object, CWindowImpl::FromHandle(edit));
    SetWindowTextW(edit, L"kept");
    EXPECT_EQ(L"kept", TextOf(edit));
    EXPECT_EQ(edit, object.UnsubclassWindow());
    SendMessageW(edit, WM_CHAR, L'y', 1);
    EXPECT_EQ(5, GetWindowTextLengthW(edit)) << "typed characters reach the edit again";
    for (const std::wstring& name : names)
        RemovePropW(edit, name.c_str());
    DestroyWindow(edit);
}

TEST(Subclass, ObjectGoingFirstGivesTheWindowBack)
{
    HWND edit = MakeEdit();
    ASSERT_TRUE(edit);
    const LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        CRecordingWindow object;
        object.handler = SwallowChars;
        ASSERT_TRUE(object.SubclassWindow(edit));
    }
    EXPECT_EQ(original, GetWindowLongPtrW(edit, GWLP_WNDPROC));
    SendMessageW(edit, WM_CHAR, L'z', 1);
    EXPECT_EQ(L"z", TextOf(edit));
    DestroyWindow(edit);
}

TEST(Subclass, ProcedurePutOverOursKeepsTheChainWorking)
{
    HWND edit = MakeEdit();
    ASSERT_TRUE(edit);
    {
        CRecordingWindow object;
        object.handler = SwallowChars;
        ASSERT_TRUE(object.SubclassWindow(edit));
        g_chainedProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterProc)));
        // Ours cannot be taken out from under the outer procedure.
        EXPECT_EQ(nullptr, object.UnsubclassWindow());
        EXPECT_EQ(edit, object.m_hWnd);
        SendMessageW(edit, WM_CHAR, L'a', 1);
        EXPECT_EQ(L"", TextOf(edit));
    }
    // The object is gone; the outer procedure still reaches the edit through ours.
    g_outerCalls = 0;
    SendMessageW(edit, WM_CHAR, L'b', 1);
    EXPECT_EQ(L"b", TextOf(edit));
    EXPECT_GT(g_outerCalls, 0);
    EXPECT_TRUE(DestroyWindow(edit));
}
