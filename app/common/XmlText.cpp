#include "app/common/XmlText.h"

#include "app/common/TextUtils.h"

std::string Utf8ToAnsiString(const std::string& utf8)
{
    return Utf8ToString(utf8.data(), static_cast<int>(utf8.size())).ToAnsi();
}

std::string ToUtf8String(const CString& text)
{
    return text.ToUtf8();
}

std::string ToAnsiString(const CString& text)
{
    return text.ToAnsi();
}

std::string AnsiToUtf8String(const std::string& ansi)
{
    return CString::FromAnsi(ansi.data(), static_cast<int>(ansi.size())).ToUtf8();
}
