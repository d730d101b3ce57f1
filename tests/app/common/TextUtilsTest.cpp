#include "app/common/TextUtils.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Utf8ToString, DecodesEachFormAndStopsWhereTheInputDoes)
{
    const struct {
        const char* bytes;
        int length;
        const wchar_t* text;
    } rows[] = {
        {"abc", 3, L"abc"},
        {"\xC2\xA9 \xE4\xB8\xAD\xE6\x96\x87", 9, L"\u00A9 中文"},
        // A four-byte form becomes a surrogate pair and decoding goes on.
        {"a\xF0\x9F\x98\x80z", 6, L"a\U0001F600z"},
        {"\xF4\x8F\xBF\xBF", 4, L"\U0010FFFF"},
        {"abc\xF0", 4, L"abc"},                // a four-byte lead cut short
        {"ab\xE4\xB8", 4, L"ab"},              // a three-byte form cut short
        {"ab\xC2", 3, L"ab"},                  // a two-byte form cut short
        {"ab\x80z", 4, L"ab"},                 // a stray continuation byte
        {"ab\xF8\x88\x80\x80\x80z", 7, L"ab"}, // no such lead byte
        {"ab\xF0\x8F\xBF\xBFz", 7, L"ab"},     // overlong: not a character
        {"ab\xF4\x90\x80\x80z", 7, L"ab"},     // beyond U+10FFFF
        {"abc", 2, L"ab"},                     // the length holds
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(std::wstring(row.text), Wide(Utf8ToString(row.bytes, row.length)));
    }
    EXPECT_EQ(L"abc", Wide(Utf8ToStringZ("abc\xF0\x9F")));
    EXPECT_EQ(L"\U0001F600", Wide(Utf8ToStringZ("\xF0\x9F\x98\x80")));
    EXPECT_TRUE(Utf8ToStringZ("").IsEmpty());
}

TEST(Utf8ToString, RoundTripsWithTheSystemEncoder)
{
    const std::wstring text = L"主题 Ω \U00020BB7 x";
    const std::string utf8 = CString(text.c_str()).ToUtf8();
    EXPECT_EQ(text, Wide(Utf8ToStringZ(utf8.c_str())));
}

std::vector<std::wstring> Split(const wchar_t* text, const wchar_t* separator, int maxCount)
{
    std::vector<CString> pieces{L"stale"};
    SplitString(text, separator, pieces, maxCount, L"<empty>");
    std::vector<std::wstring> result;
    for (const CString& piece : pieces)
        result.push_back(Wide(piece));
    return result;
}

TEST(SplitString, PiecesFillerAndMaximumCount)
{
    using Pieces = std::vector<std::wstring>;
    const struct {
        const wchar_t* text;
        const wchar_t* separator;
        int maxCount;
        Pieces pieces;
    } rows[] = {
        {L"success | 1.0", L" | ", 0, {L"success", L"1.0"}},
        {L" | rest", L" | ", 0, {L"<empty>", L"rest"}},
        {L"first | ", L" | ", 0, {L"first", L"<empty>"}},
        {L"", L" | ", 0, {L"<empty>"}},
        {L"a |  | b", L" | ", 0, {L"a", L"<empty>", L"b"}},
        {L"a=b=c", L"=", 2, {L"a", L"b=c"}},
        {L"a=b=c", L"=", 3, {L"a", L"b", L"c"}},
        {L"a=b=c", L"=", 5, {L"a", L"b", L"c"}},
        {L"a=b=c", L"=", 1, {L"a=b=c"}},
        {L"TAG=Zenro_Run_Update|MD5=abc", L"|", 0, {L"TAG=Zenro_Run_Update", L"MD5=abc"}},
        {L"a|B|b", L"b", 0, {L"a|B|", L"<empty>"}}, // case-sensitive
        {L"no separator", L" | ", 0, {L"no separator"}},
        {L"a b", L"", 0, {L"a b"}}, // an empty separator splits nothing
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.maxCount << " " << CString(row.text).ToUtf8());
        EXPECT_EQ(row.pieces, Split(row.text, row.separator, row.maxCount));
    }
}

TEST(IsAllDigits, OnlyDigits)
{
    const struct {
        const wchar_t* text;
        bool digits;
    } rows[] = {
        {L"", false},    {L"0123", true}, {L"9", true},     {L"12a", false},
        {L" 12", false}, {L"-1", false},  {L"１２", false}, // full-width digits are not 0 to 9
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(CString(row.text).ToUtf8());
        EXPECT_EQ(row.digits, IsAllDigits(row.text));
    }
}

} // namespace
