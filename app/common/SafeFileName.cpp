#include "app/common/SafeFileName.h"

#include <cwchar>

bool IsSafeFileName(const CString& name)
{
    const int length = name.GetLength();
    if (length == 0)
        return false;
    for (int i = 0; i < length; ++i) {
        const wchar_t ch = name[i];
        if (ch < 0x20 || ch == 0x7F || std::wcschr(L"\\/:*?\"<>|", ch))
            return false;
    }
    const wchar_t last = name[length - 1];
    return last != L'.' && last != L' ';
}
