// Calls a function of the page shown in a container by name, with one text
// argument; the function's result goes to result when one is given. False
// when there is no page script, no such function, or the call failed.
#pragma once

#include <windows.h>

#include <oaidl.h>

class CUiHtmlContainerWindow;

bool CallPageScript(CUiHtmlContainerWindow& container, const wchar_t* name, const wchar_t* argument,
                    VARIANT* result = nullptr);
