#include "app/common/SafeFileName.h"

#include <gtest/gtest.h>

namespace {

TEST(IsSafeFileName, PlainNamesOnly)
{
    const struct {
        const wchar_t* name;
        bool safe;
    } rows[] = {
        {L"蓝色天空", true},
        {L"Blue Sky 2", true},
        {L"a.b", true},
        {L".hidden", true},
        {L"名-_()[]'&", true},
        {L"", false},
        {L".", false},
        {L"..", false},
        {L"a\\b", false},
        {L"a/b", false},
        {L"C:", false},
        {L"a*", false},
        {L"a?", false},
        {L"a\"b", false},
        {L"<a", false},
        {L"a>", false},
        {L"a|b", false},
        {L"a\tb", false},
        {L"a\x1f", false},
        {L"name.", false},
        {L"name ", false},
        {L" name", true},
        {L"..\\..\\x", false},
        {L"a\x7f", false},
        // devices, whatever the case and the extension, and names that only look so
        {L"CON", false},
        {L"nul.txt", false},
        {L"Com1.zip", false},
        {L"lpt9", false},
        {L"aux .txt", false},
        {L"CONIN$", false},
        {L"conout$.log", false},
        {L"COM10", true},
        {L"LPT0", true},
        {L"console", true},
        {L"CONIN", true},
        {L"nul_x", true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.safe, IsSafeFileName(row.name)) << CString(row.name).ToUtf8();
}

} // namespace
