#include "app/browser/ScriptResult.h"

#include <oleauto.h>

void SetIntResult(VARIANT* result, int value) noexcept
{
    if (!result)
        return;
    VariantClear(result);
    result->vt = VT_INT;
    result->intVal = value;
}

void SetBoolResult(VARIANT* result, BOOL value) noexcept
{
    if (!result)
        return;
    VariantClear(result);
    result->vt = VT_BOOL;
    result->boolVal = value ? 1 : 0;
}

void SetTextResult(VARIANT* result, const wchar_t* text, int length) noexcept
{
    if (!result)
        return;
    VariantClear(result);
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringLen(text, static_cast<UINT>(length));
}
