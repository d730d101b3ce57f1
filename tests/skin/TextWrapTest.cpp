// The message box's line wrap: it cuts every text exactly where the wrap that
// measured the rest of the line again at every cut did (kept here as the
// reference), for a table of texts of every shape and for random ones, in
// the box's font, at several widths.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "skin/SkTextWrap.h"

namespace {

// The former wrap: measures what is left of the line at every cut.
CString ReferenceWrap(HDC dc, const CString& text, int width)
{
    CString wrapped;
    int start = 0;
    const int length = text.GetLength();
    while (start <= length) {
        int end = text.Find(L'\n', start);
        if (end < 0)
            end = length;
        CString line = text.Mid(start, end - start);
        line.TrimRight(L'\r');
        for (;;) {
            int fit = 0;
            SIZE size = {};
            GetTextExtentExPointW(dc, line, line.GetLength(), std::max(width, 1), &fit, nullptr, &size);
            if (fit >= line.GetLength()) {
                wrapped += line;
                break;
            }
            int cut = fit;
            for (int i = fit; i > 0; --i) {
                if (line[i] == L' ') {
                    cut = i;
                    break;
                }
            }
            if (cut < 1)
                cut = 1;
            if (cut < line.GetLength() && IS_LOW_SURROGATE(line[cut]) && cut > 1)
                --cut;
            wrapped += line.Left(cut);
            wrapped += L"\n";
            line = line.Mid(cut);
            line.TrimLeft(L' ');
        }
        if (end >= length)
            break;
        wrapped += L"\n";
        start = end + 1;
    }
    return wrapped;
}

// A memory DC with the box's text font: the skin's default face, 12 pixels.
class TextWrap : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dc = CreateCompatibleDC(nullptr);
        m_font =
            CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"宋体");
        m_old = SelectObject(m_dc, m_font);
    }
    void TearDown() override
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_font);
        DeleteDC(m_dc);
    }

    void ExpectSameCuts(const std::wstring& text, int width)
    {
        const CString source(text.c_str(), static_cast<int>(text.size()));
        const CString expected = ReferenceWrap(m_dc, source, width);
        const CString got = WrapTextToWidth(m_dc, source, width);
        EXPECT_TRUE(expected == got) << "width " << width << ", text of " << text.size() << " characters\n"
                                     << "expected: " << expected.ToUtf8() << "\ngot:      " << got.ToUtf8();
    }

    HDC m_dc = nullptr;
    HFONT m_font = nullptr;
    HGDIOBJ m_old = nullptr;
};

std::wstring Repeat(const std::wstring& part, size_t times)
{
    std::wstring text;
    for (size_t i = 0; i < times; ++i)
        text += part;
    return text;
}

TEST_F(TextWrap, CutsWhereTheFormerWrapDid)
{
    const std::wstring pair = L"\U0001F600"; // a surrogate pair
    const std::wstring texts[] = {
        L"",
        L"a",
        L" ",
        L"short",
        L"two words",
        L"trailing spaces    ",
        L"    leading spaces",
        L"many   spaces   between   the   words   of   this   line   of   text",
        L"first line\nsecond line\n\nfourth line after an empty one\n",
        L"windows line ends\r\nwith carriage returns\r\r\n\r\nand more",
        Repeat(L"x", 500),
        Repeat(L"word ", 120),
        Repeat(L"W", 60) + L" " + Repeat(L"i", 300) + L" tail",
        Repeat(L"这是一条没有空格的很长的消息", 40),
        Repeat(L"中文 English 混排 ", 50),
        Repeat(pair, 150),
        Repeat(L"a" + pair, 150),
        Repeat(pair + L" ", 100),
        Repeat(L"\t", 80) + Repeat(L"-", 200),
        L"一 " + Repeat(L"长", 400) + L" 尾",
    };
    for (const std::wstring& text : texts)
        for (int width : {0, 1, 5, 12, 37, 120, 333, 1000, 100000})
            ExpectSameCuts(text, width);
}

TEST_F(TextWrap, RandomTextsAreCutAsBefore)
{
    // Letters of several widths, spaces in runs, CJK, pairs and line ends.
    const std::vector<std::wstring> pieces = {L"i",          L"W",  L"m",    L" ", L"  ",    L"字",
                                              L"\U0001F600", L"\n", L"\r\n", L".", L"\uFE0F"};
    std::mt19937 random(20261211);
    for (int round = 0; round < 60; ++round) {
        std::wstring text;
        const size_t length = 1 + random() % 400;
        while (text.size() < length) {
            std::wstring piece = pieces[random() % pieces.size()];
            if (piece == L"\n" || piece == L"\r\n")
                piece = random() % 4 == 0 ? piece : L"x";
            text += piece;
        }
        ExpectSameCuts(text, static_cast<int>(random() % 200));
    }
}

} // namespace
