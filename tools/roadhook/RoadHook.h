// What PageCall.exe sends the hook: WM_COPYDATA with this dwData and the
// UTF-16 text "method|arg|arg..." (integers), to the message-only window of
// this class; the reply is the call's result as an integer (a text result
// gives its length), -1 when the method is unknown.
#pragma once

#include <windows.h>

constexpr wchar_t kRoadHookClass[] = L"RavonyxRoadHook";
constexpr ULONG_PTR kRoadHookCall = 0x524F4144; // "ROAD"
