// How long the skinned message box takes to come up (from Show until its
// modal loop takes messages: measuring, wrapping and laying out the text)
// for texts of 1,000, 10,000 and 100,000 characters of several shapes: one
// word without spaces, Chinese without spaces, words, short lines, and
// surrogate pairs. The 1,000-character text of each shape is its baseline;
// a box whose layout grows with the length of its text shows ratios near
// 10 and 100.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/support/BenchSupport.h"
#include "skin/CorvaneMsgBox.h"
#include "skin/SkFontPool.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "skin/SkWinManager.h"

namespace {

SkWinManager g_manager; // the program's window manager: it finds each thread's box

double g_shownAt = 0;

// Runs inside the box's modal loop: notes the time and ends the box.
LRESULT CALLBACK AnswerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_APP)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    g_shownAt = Now();
    if (HWND box = SkWinManager::Instance()->GetActiveDialog())
        SendMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
    return 0;
}

// Milliseconds from Show until the box's loop runs.
double TimeBox(HWND answer, const std::wstring& text)
{
    PostMessageW(answer, WM_APP, 0, 0);
    g_shownAt = 0;
    const double start = Now();
    CCorvaneMsgBox::Show(text.c_str(), L"提示", MB_OK);
    return g_shownAt > 0 ? g_shownAt - start : -1;
}

std::wstring Shape(const std::wstring& part, size_t length)
{
    std::wstring text;
    while (text.size() < length)
        text += part;
    text.resize(length);
    if (IS_HIGH_SURROGATE(text.back()))
        text.back() = L'x';
    return text;
}

} // namespace

int main()
{
    if (!LoadStringTable() || (SetDefaultFontFace(SkString::Get(0)), !LoadSkins()) || !LoadStyles()) {
        std::printf("the skin did not load\n");
        return 1;
    }
    WNDCLASSW wc = {};
    wc.lpfnWndProc = AnswerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MsgBoxBenchAnswer";
    RegisterClassW(&wc);
    HWND answer = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);

    const struct {
        const char* name;
        std::wstring part;
    } shapes[] = {
        {"one word", L"x"},
        {"Chinese, no spaces", L"这是一条没有空格的很长的消息"},
        {"words", L"word "},
        {"short lines", L"第一行\n"},
        {"surrogate pairs", L"\U0001F600"},
    };
    const size_t lengths[] = {1000, 10000, 100000};
    TimeBox(answer, L"warm-up");
    std::printf("%-20s %12s %12s %12s %10s %10s\n", "text", "1,000", "10,000", "100,000", "10k/1k",
                "100k/1k");
    for (const auto& shape : shapes) {
        double times[3] = {};
        for (int i = 0; i < 3; ++i) {
            std::vector<double> runs;
            const int count = lengths[i] >= 100000 ? 3 : 7;
            const std::wstring text = Shape(shape.part, lengths[i]);
            for (int k = 0; k < count; ++k)
                runs.push_back(TimeBox(answer, text));
            std::sort(runs.begin(), runs.end());
            times[i] = runs[runs.size() / 2];
        }
        std::printf("%-20s %9.1f ms %9.1f ms %9.1f ms %9.1fx %9.1fx\n", shape.name, times[0], times[1],
                    times[2], times[1] / times[0], times[2] / times[0]);
    }
    DestroyWindow(answer);
    return 0;
}
