// Writing a script method's result VARIANT. The caller's VARIANT is an [out]
// one: Invoke empties it first (VariantInit, never VariantClear on what the
// caller left there), and each of these then replaces what this code put
// in it (freeing a default text first); a null result is left alone.
#pragma once

#include <windows.h>

#include <oaidl.h>

void SetIntResult(VARIANT* result, int value) noexcept;
// VT_BOOL holding 1 or 0 (the pages test it as a number).
void SetBoolResult(VARIANT* result, BOOL value) noexcept;
void SetTextResult(VARIANT* result, const wchar_t* text, int length) noexcept;
