// The skinned message box, answered by the tests themselves: button rows and
// results for each MB_ type, icons, sizes from the text and the caption
// inside the work area, Enter, Escape and WM_CLOSE, MsgBoxOnScreen, the delete
// confirmation, and a box shown from a worker thread while another is up.
#include "MsgBoxAnswer.h"

#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/DibCanvas.h"
#include "base/Thread.h"
#include "skin/CorvaneMsgBox2.h"
#include "skin/SkFontPool.h"
#include "skin/SkIconWnd.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "tests/support/ForeignNotify.h"

namespace {

SkWinManager g_manager; // the program's window manager: it finds each thread's box

struct ShownButton {
    std::wstring caption;
    UINT id;
    RECT rect;
};

// The buttons of the box's row, in order.
std::vector<ShownButton> RowButtons(CCorvaneMsgBox& box)
{
    std::vector<ShownButton> buttons;
    auto* panel = static_cast<CSkContainerWnd*>(box.m_view.FindItem(IDC_MSGBOX_BUTTONS));
    if (!panel || panel->Children().empty())
        return buttons;
    auto* row = AsContainer(panel->Children()[0].get());
    if (!row)
        return buttons;
    for (const auto& button : row->Children())
        buttons.push_back({button->m_text.GetString(), button->m_id, button->m_rect});
    return buttons;
}

// Text sizes measured on their own: the box's fonts are the skin's default
// face, 12 pixels for the text and the buttons, 13 pixels bold for the title
// (msgbox_styles.xml); a line is as wide as GDI measures its characters and
// as high as the font's cell.
constexpr int kTitleHeight = 13;
SIZE IndependentTextSize(const wchar_t* text, int height = 12, int weight = FW_NORMAL)
{
    HFONT font =
        CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, SkString::Get(0));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SIZE total = {0, 0};
    const std::wstring all = text;
    size_t start = 0;
    for (;;) {
        const size_t end = all.find(L'\n', start);
        const std::wstring line =
            all.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        SIZE size = {};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        total.cx = std::max(total.cx, size.cx);
        total.cy += metrics.tmHeight;
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return total;
}

int ButtonWidth(const wchar_t* caption)
{
    return std::max(80,
                    static_cast<int>(IndependentTextSize(caption).cx) + 2 * FindStyle("normalbtn").xMargin);
}

RECT PrimaryWorkArea()
{
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

SIZE BoxSize(CCorvaneMsgBox& box)
{
    RECT rect;
    GetWindowRect(box.m_hWnd, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Waits for an event while taking the messages other threads send.
bool WaitTakingSentMessages(HANDLE event)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD waited = GetTickCount() - start;
        if (waited > 20000)
            return false;
        const DWORD got = MsgWaitForMultipleObjects(1, &event, FALSE, 20000 - waited, QS_SENDMESSAGE);
        if (got == WAIT_OBJECT_0)
            return true;
        if (got != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

class MsgBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(LoadStringTable());
        SetDefaultFontFace(SkString::Get(0));
        ASSERT_TRUE(LoadSkins());
        ASSERT_TRUE(LoadStyles());
    }
    void SetUp() override { EXPECT_FALSE(MsgBoxOnScreen); }
    void TearDown() override { EXPECT_FALSE(MsgBoxOnScreen); }
};

} // namespace

TEST_F(MsgBoxTest, EachTypeHasItsButtonRowAndReturnsTheClickedId)
{
    struct Case {
        UINT type;
        std::vector<std::wstring> captions;
        std::vector<UINT> ids;
        UINT click; // the id to click; IDC_MSGBOX_CLOSE for the close button
    };
    const Case cases[] = {
        {MB_OK, {L"确定"}, {IDOK}, IDOK},
        {MB_OKCANCEL, {L"确定", L"取消"}, {IDOK, IDCANCEL}, IDCANCEL},
        {MB_ABORTRETRYIGNORE, {L"放弃", L"重试", L"忽略"}, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE},
        {MB_YESNOCANCEL, {L"是", L"否", L"取消"}, {IDYES, IDNO, IDCANCEL}, IDNO},
        {MB_YESNO | MB_ICONQUESTION, {L"是", L"否"}, {IDYES, IDNO}, IDYES},
        {MB_YESNO | MB_ICONQUESTION, {L"是", L"否"}, {IDYES, IDNO}, IDNO},
        {MB_YESNO, {L"是", L"否"}, {IDYES, IDNO}, IDC_MSGBOX_CLOSE},
        {MB_RETRYCANCEL, {L"重试", L"取消"}, {IDRETRY, IDCANCEL}, IDRETRY},
        // Try again answers IDRETRY, as the program has always read it.
        {MB_CANCELTRYCONTINUE, {L"取消", L"重试", L"继续"}, {IDCANCEL, IDRETRY, IDCONTINUE}, IDCONTINUE},
        {7, {}, {}, IDC_MSGBOX_CLOSE},
        {15, {}, {}, IDC_MSGBOX_CLOSE},
        {0x80000000 | MB_YESNO, {}, {}, IDC_MSGBOX_CLOSE},
    };
    for (const Case& c : cases) {
        std::vector<ShownButton> shown;
        RECT footer = {};
        CBoxAnswer answer([&](CCorvaneMsgBox& box) {
            shown = RowButtons(box);
            footer = box.m_view.m_footer.m_rect;
            ClickBoxItem(box, c.click);
        });
        EXPECT_EQ(CCorvaneMsgBox::Show(L"短文本", L"提示", c.type), static_cast<int>(c.click)) << c.type;
        ASSERT_EQ(shown.size(), c.captions.size()) << c.type;
        int total = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].caption, c.captions[i]) << c.type;
            EXPECT_EQ(shown[i].id, c.ids[i]) << c.type;
            const int width = ButtonWidth(c.captions[i].c_str());
            EXPECT_EQ(shown[i].rect.right - shown[i].rect.left, width) << c.type;
            if (i > 0) {
                EXPECT_EQ(shown[i].rect.left, shown[i - 1].rect.right + 20) << c.type;
            }
            total += width + (i > 0 ? 20 : 0);
        }
        if (!shown.empty()) {
            // The row is centred in the footer, and as high as its panel.
            const int centre = (footer.left + footer.right) / 2;
            EXPECT_NEAR(shown.front().rect.left, centre - total / 2, 1) << c.type;
            EXPECT_EQ(shown.front().rect.bottom - shown.front().rect.top, footer.bottom - footer.top - 20);
        }
    }
}

TEST_F(MsgBoxTest, TheIconFollowsTheType)
{
    struct Case {
        UINT type;
        bool shown;
        int src, oem;
    };
    const Case cases[] = {
        {MB_OK, false, 32516, 1},          {MB_ICONHAND, true, 32513, 1},
        {MB_ICONQUESTION, true, 32514, 1}, {MB_ICONEXCLAMATION, true, 32515, 1},
        {MB_ICONASTERISK, true, 32516, 1}, {0x50, false, 0, 0},
        {0xF0 | MB_YESNO, false, 0, 0},
    };
    for (const Case& c : cases) {
        CBoxAnswer answer([&](CCorvaneMsgBox& box) {
            auto* icon = static_cast<CSkIconWnd*>(box.m_view.FindItem(IDC_MSGBOX_ICON));
            ASSERT_NE(icon, nullptr);
            EXPECT_EQ((icon->m_state & SKS_HIDDEN) == 0, c.shown) << c.type;
            EXPECT_EQ(icon->m_src, c.src) << c.type;
            EXPECT_EQ(icon->m_oem, c.oem) << c.type;
            if (c.shown) {
                DibCanvas canvas(400, 300);
                SendMessageW(box.m_view.m_hWnd, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
                EXPECT_EQ(icon->Icon(), LoadIconW(nullptr, MAKEINTRESOURCEW(c.src))) << c.type;
            }
            box.EndDialog(IDOK);
        });
        EXPECT_EQ(CCorvaneMsgBox::Show(L"图标", L"提示", c.type), IDOK);
    }
}

// Known texts with their sizes in the box's fonts, measured once and kept
// here: the skin's default face ("宋体", drawn here by WenQuanYi Zen Hei) sets
// an ideograph 12 pixels wide at 12 pixels and 14 wide at 13 pixels bold, a
// line of the text 16 pixels high.
const wchar_t kLongLine[] = L"这是一条很长的消息，用来检查消息框会按照文字的宽度把自己变宽，而不会把每个词"
                            L"放到新的一行里 words and more words";
const wchar_t kSevenLines[] = L"第一行\n第二行\n第三行\n第四行\n第五行\n第六行\n第七行";
const wchar_t kLongCaption[] = L"一个比消息文字宽得多的标题，让消息框跟着标题变宽";
const SIZE kLongLineSize = {660, 16};
const SIZE kSevenLinesSize = {36, 112};
const SIZE kLongCaptionTitleSize = {336, 17};

// The sizes kept above still hold for the fonts of this machine; when this
// fails, the box tests below measure against another font.
TEST(MsgBoxKnownTexts, MeasureAsKept)
{
    ASSERT_TRUE(LoadStringTable());
    const struct {
        const wchar_t* text;
        SIZE size;
        SIZE measured;
    } texts[] = {
        {kLongLine, kLongLineSize, IndependentTextSize(kLongLine)},
        {kSevenLines, kSevenLinesSize, IndependentTextSize(kSevenLines)},
        {kLongCaption, kLongCaptionTitleSize, IndependentTextSize(kLongCaption, kTitleHeight, FW_BOLD)},
    };
    for (const auto& t : texts) {
        EXPECT_EQ(t.measured.cx, t.size.cx) << CString(t.text).ToUtf8();
        EXPECT_EQ(t.measured.cy, t.size.cy) << CString(t.text).ToUtf8();
    }
}

// The box is as wide as its text plus 100 or its caption plus 100, and as
// high as its text plus 120, at least 320 x 160. Without an owner it
// measures in the primary monitor's work area, so a line that fits there
// stays one line, and it is centred there.
TEST_F(MsgBoxTest, TheBoxSizesItselfToItsTextAndCaption)
{
    const RECT work = PrimaryWorkArea();
    ASSERT_LT(kLongLineSize.cx + 100, work.right - work.left);
    struct Case {
        const wchar_t* text;
        const wchar_t* caption;
        SIZE size;
    };
    const Case cases[] = {
        {L"短文本", L"提示", {320, 160}},
        {L"", L"", {320, 160}},
        {L"短文本", nullptr, {320, 160}},
        {kLongLine, L"提示", {kLongLineSize.cx + 100, 160}},
        {kSevenLines, L"提示", {320, kSevenLinesSize.cy + 120}},
        {L"短文本", kLongCaption, {kLongCaptionTitleSize.cx + 100, 160}},
    };
    for (const Case& c : cases) {
        SIZE size = {};
        RECT rect = {};
        HWND owner = reinterpret_cast<HWND>(1);
        CBoxAnswer answer([&](CCorvaneMsgBox& box) {
            size = BoxSize(box);
            GetWindowRect(box.m_hWnd, &rect);
            owner = GetWindow(box.m_hWnd, GW_OWNER);
            box.EndDialog(IDOK);
        });
        EXPECT_EQ(CCorvaneMsgBox::Show(c.text, c.caption, MB_OK), IDOK);
        EXPECT_EQ(size.cx, c.size.cx) << c.text;
        EXPECT_EQ(size.cy, c.size.cy) << c.text;
        EXPECT_EQ(owner, nullptr);
        EXPECT_NEAR((rect.left + rect.right) / 2, (work.left + work.right) / 2, 1) << c.text;
        EXPECT_NEAR((rect.top + rect.bottom) / 2, (work.top + work.bottom) / 2, 1) << c.text;
    }
}

// However long the text, the box stays inside the work area with its buttons
// on screen: a text too wide wraps (every shown line fits the box), one too
// high scrolls in a text field of its own, and Enter still answers.
TEST_F(MsgBoxTest, ALongTextStaysInsideTheWorkArea)
{
    const RECT work = PrimaryWorkArea();
    std::wstring wide;
    while (wide.size() < 2000)
        wide += L"这是一条没有空格的很长的消息";
    std::wstring high;
    for (int i = 0; i < 300; ++i)
        high += L"第" + std::to_wstring(i) + L"行\n";
    struct Case {
        const char* name;
        std::wstring text;
        bool scrolls;
    };
    const Case cases[] = {{"2000 characters", wide, false}, {"300 lines", high, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RECT rect = {};
        std::vector<ShownButton> shown;
        RECT view = {};
        bool scrolls = false;
        bool textShown = false;
        int widestLine = 0;
        CBoxAnswer answer([&](CCorvaneMsgBox& box) {
            GetWindowRect(box.m_hWnd, &rect);
            GetWindowRect(box.m_view.m_hWnd, &view);
            shown = RowButtons(box);
            scrolls = box.m_scrollText && IsWindowVisible(box.m_scrollText) &&
                      (GetWindowLongPtrW(box.m_scrollText, GWL_STYLE) & WS_VSCROLL);
            CSkWindow* text = box.m_view.FindItem(IDC_MSGBOX_TEXT);
            textShown = !text->IsHiddenInTree();
            if (textShown) {
                // Each line of what the box shows fits its text area.
                std::wstring lines = text->m_text.GetString();
                size_t start = 0;
                for (size_t end;
                     (end = lines.find(L'\n', start)) != std::wstring::npos || start < lines.size();) {
                    if (end == std::wstring::npos)
                        end = lines.size();
                    widestLine = std::max<int>(
                        widestLine, IndependentTextSize(lines.substr(start, end - start).c_str()).cx);
                    start = end + 1;
                }
                EXPECT_LE(widestLine, text->m_rect.right - text->m_rect.left);
            }
            SendMessageW(box.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
            if (!box.m_end)
                ClickBoxItem(box, IDC_MSGBOX_CLOSE); // Enter was not taken
        });
        EXPECT_EQ(CCorvaneMsgBox::Show(c.text.c_str(), L"提示", MB_OK), IDOK);
        EXPECT_GE(rect.left, work.left);
        EXPECT_GE(rect.top, work.top);
        EXPECT_LE(rect.right, work.right);
        EXPECT_LE(rect.bottom, work.bottom);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_GE(view.left + shown[0].rect.left, work.left);
        EXPECT_LE(view.left + shown[0].rect.right, work.right);
        EXPECT_LE(view.top + shown[0].rect.bottom, work.bottom);
        EXPECT_EQ(scrolls, c.scrolls);
        EXPECT_EQ(textShown, !c.scrolls);
    }
}

TEST_F(MsgBoxTest, TheTextAndCaptionGoWhereTheyBelong)
{
    CBoxAnswer answer([&](CCorvaneMsgBox& box) {
        EXPECT_EQ(box.m_view.FindItem(IDC_MSGBOX_TEXT)->m_text, L"文件保存目录无法创建");
        EXPECT_FALSE(box.m_view.FindItem(IDC_MSGBOX_TEXT)->IsHiddenInTree());
        EXPECT_TRUE(box.m_view.FindItem(IDC_MSGBOX_TEXTLINES)->IsHiddenInTree());
        EXPECT_TRUE(box.m_view.FindItem(IDC_MSGBOX_CHECK)->IsHiddenInTree());
        EXPECT_EQ(box.m_view.FindItem(IDC_MSGBOX_CAPTION)->m_text, L"错误信息");
        wchar_t title[32] = {};
        GetWindowTextW(box.m_hWnd, title, 32);
        EXPECT_STREQ(title, L"错误信息");
        box.EndDialog(IDOK);
    });
    EXPECT_EQ(CCorvaneMsgBox::Show(L"文件保存目录无法创建", L"错误信息", MB_OK), IDOK);

    // Without a caption the header keeps the layout's text.
    CBoxAnswer untitled([&](CCorvaneMsgBox& box) {
        EXPECT_EQ(box.m_view.FindItem(IDC_MSGBOX_CAPTION)->m_text, SkString::Get(1));
        box.EndDialog(IDOK);
    });
    EXPECT_EQ(CCorvaneMsgBox::Show(L"文本", nullptr, MB_OK), IDOK);
}

// Enter answers the default button (the first unless the type names
// another), Escape and WM_CLOSE answer Cancel, OK when OK is the only
// button, else what the close button answers; a box without buttons takes
// no Enter. The flag follows the box.
TEST_F(MsgBoxTest, EnterEscapeAndCloseAnswerTheBox)
{
    struct Case {
        UINT type;
        UINT msg;
        WPARAM key;
        int answer; // 0: the box stays up
    };
    const Case cases[] = {
        {MB_YESNO | MB_ICONQUESTION, WM_KEYDOWN, VK_RETURN, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, WM_KEYDOWN, VK_RETURN, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, WM_KEYDOWN, VK_RETURN, IDCANCEL},
        {MB_OK | MB_DEFBUTTON4, WM_KEYDOWN, VK_RETURN, IDOK},
        {MB_YESNO, WM_KEYDOWN, VK_ESCAPE, IDC_MSGBOX_CLOSE},
        {MB_OKCANCEL, WM_KEYDOWN, VK_ESCAPE, IDCANCEL},
        {MB_OK, WM_KEYDOWN, VK_ESCAPE, IDOK},
        {MB_RETRYCANCEL, WM_CLOSE, 0, IDCANCEL},
        {MB_YESNO, WM_CLOSE, 0, IDC_MSGBOX_CLOSE},
        {7, WM_KEYDOWN, VK_RETURN, 0},
        {7, WM_KEYDOWN, VK_ESCAPE, IDC_MSGBOX_CLOSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.msg) + " " + std::to_string(c.key));
        bool onScreen = false, stillUp = false;
        CBoxAnswer answer([&](CCorvaneMsgBox& box) {
            onScreen = MsgBoxOnScreen != FALSE;
            SendMessageW(box.m_hWnd, c.msg, c.key, 0);
            stillUp = !box.m_end && IsWindowVisible(box.m_hWnd);
            if (stillUp)
                ClickBoxItem(box, IDC_MSGBOX_CLOSE);
        });
        EXPECT_EQ(CCorvaneMsgBox::Show(L"您确定吗？", L"提示", c.type),
                  c.answer ? c.answer : IDC_MSGBOX_CLOSE);
        EXPECT_EQ(stillUp, c.answer == 0);
        EXPECT_TRUE(onScreen);
        EXPECT_FALSE(MsgBoxOnScreen);
    }
}

TEST_F(MsgBoxTest, TheDeleteConfirmationAsksWithItsOwnLines)
{
    const SkStyle& msgtext = FindStyle("msgtext");
    const int lineWidth = IndependentTextSize(L"您确定删除吗？").cx;
    for (UINT click : {UINT{IDYES}, UINT{IDNO}, IDC_MSGBOX_CLOSE}) {
        std::vector<ShownButton> shown;
        CBoxAnswer answer([&](CCorvaneMsgBox& box) {
            shown = RowButtons(box);
            EXPECT_TRUE(box.m_view.FindItem(IDC_MSGBOX_TEXT)->IsHiddenInTree());
            auto* lines = static_cast<CSkContainerWnd*>(box.m_view.FindItem(IDC_MSGBOX_TEXTLINES));
            EXPECT_FALSE(lines->IsHiddenInTree());
            ASSERT_EQ(lines->Children().size(), 1u);
            const CSkWindow& line = *lines->Children()[0];
            EXPECT_EQ(line.m_text, L"您确定删除吗？");
            EXPECT_EQ(line.m_rect.top - lines->m_rect.top, 10 + msgtext.yMargin);
            EXPECT_EQ(box.m_type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
            auto* icon = static_cast<CSkIconWnd*>(box.m_view.FindItem(IDC_MSGBOX_ICON));
            EXPECT_EQ(icon->m_src, 32514);
            EXPECT_FALSE(icon->IsHiddenInTree());
            EXPECT_EQ(BoxSize(box).cx, std::max(320, lineWidth + 10 + 100));
            EXPECT_EQ(BoxSize(box).cy, 160);
            ClickBoxItem(box, click);
        });
        EXPECT_EQ(CCorvaneMsgBox2::ShowDeleteConfirm(), static_cast<int>(click));
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].caption, L"是");
        EXPECT_EQ(shown[1].caption, L"否");
    }
}

// A worker thread shows a box of its own while the UI thread's is up: each
// runs its own loop, neither owns the other, and the flag stays up until
// the last one goes.
TEST_F(MsgBoxTest, AWorkerThreadShowsABoxWhileAnotherIsUp)
{
    CHandle workerUp(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CHandle answerNow(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<int> workerResult{-100};
    HWND workerBox = nullptr, workerOwner = reinterpret_cast<HWND>(1);
    SIZE workerSize = {};
    bool flagWhileBoth = false, flagAfterWorker = false, mainEnabled = false;

    CBoxAnswer answer([&](CCorvaneMsgBox& mainBox) {
        HANDLE up = workerUp.Get(), now = answerNow.Get();
        CHandle worker = StartThread([&, up, now] {
            CBoxAnswer workerAnswer([&](CCorvaneMsgBox& box) {
                workerBox = box.m_hWnd;
                workerOwner = GetWindow(box.m_hWnd, GW_OWNER);
                workerSize = BoxSize(box);
                SetEvent(up);
                EXPECT_TRUE(WaitTakingSentMessages(now));
                ClickBoxItem(box, IDNO);
            });
            workerResult = CCorvaneMsgBox::Show(L"发现有新版本，是否自动升级！", L"升级提示", MB_YESNO);
        });
        ASSERT_TRUE(WaitTakingSentMessages(up));
        flagWhileBoth = MsgBoxOnScreen != FALSE;
        mainEnabled = IsWindowEnabled(mainBox.m_hWnd) != FALSE;
        SetEvent(now);
        while (WaitForSingleObject(worker, 0) == WAIT_TIMEOUT)
            WaitTakingSentMessages(worker);
        flagAfterWorker = MsgBoxOnScreen != FALSE;
        ClickBoxItem(mainBox, IDOK);
    });
    EXPECT_EQ(CCorvaneMsgBox::Show(L"主线程的消息", L"提示", MB_OK), IDOK);
    EXPECT_EQ(workerResult, IDNO);
    EXPECT_NE(workerBox, nullptr);
    EXPECT_EQ(workerOwner, nullptr);
    EXPECT_EQ(workerSize.cx, 320);
    EXPECT_EQ(workerSize.cy, 160);
    EXPECT_TRUE(flagWhileBoth);
    EXPECT_TRUE(mainEnabled);
    EXPECT_TRUE(flagAfterWorker);
}

// A box shown from a skin dialog is owned by it and keeps it disabled.
TEST_F(MsgBoxTest, ABoxShownFromADialogIsOwnedByIt)
{
    CCorvaneMsgBox outer;
    HWND outerWindow = nullptr, owner = nullptr;
    bool outerDisabled = false;
    CBoxAnswer first([&](CCorvaneMsgBox& box) {
        outerWindow = box.m_hWnd;
        CBoxAnswer second([&](CCorvaneMsgBox& inner) {
            owner = GetWindow(inner.m_hWnd, GW_OWNER);
            outerDisabled = !IsWindowEnabled(outerWindow);
            ClickBoxItem(inner, IDOK);
        });
        EXPECT_EQ(CCorvaneMsgBox::Show(L"里面的消息", L"提示", MB_OK), IDOK);
        EXPECT_TRUE(IsWindowEnabled(outerWindow));
        ClickBoxItem(box, IDCANCEL);
    });
    EXPECT_EQ(outer.ShowMsg(L"外面的消息", L"提示", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(owner, outerWindow);
    EXPECT_TRUE(outerDisabled);
}

// A box with its scrolling text gets WM_NOTIFY from another thread and
// posted: a readable block that looks like a click on OK, one that looks
// like Enter in the text, a freed block and 0x10. It takes none of them,
// and answers Escape pressed in its text (the rich edit's own notification)
// as before.
TEST_F(MsgBoxTest, ForeignNotificationsAreIgnoredAndTheTextsKeysStillAnswer)
{
    std::wstring high;
    for (int i = 0; i < 300; ++i)
        high += L"第" + std::to_wstring(i) + L"行\n";
    auto click = std::make_unique<SkItemClickNotify>();
    click->hdr.idFrom = IDC_SKIN_VIEW;
    click->hdr.code = SKN_ITEM_CLICK;
    click->itemId = IDOK;
    click->itemClass = "button";
    auto enter = std::make_unique<MSGFILTER>();
    enter->nmhdr.code = EN_MSGFILTER;
    enter->msg = WM_KEYDOWN;
    enter->wParam = VK_RETURN;
    const LPARAM freed = FreedBlockAddress();
    bool scrolls = false;
    bool tookForeign = false;
    CBoxAnswer answer([&](CCorvaneMsgBox& box) {
        scrolls = box.m_scrollText != nullptr;
        click->hdr.hwndFrom = box.m_view.m_hWnd;
        enter->nmhdr.hwndFrom = box.m_scrollText;
        enter->nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(box.m_scrollText));
        const LPARAM blocks[] = {reinterpret_cast<LPARAM>(click.get()), reinterpret_cast<LPARAM>(enter.get()),
                                 freed, 0x10};
        for (HWND target : {box.m_hWnd, box.m_view.m_hWnd}) {
            for (LPARAM block : blocks) {
                EXPECT_TRUE(SendNotifyFromAnotherThread(target, IDC_SKIN_VIEW, block));
                PostNotify(target, IDC_SKIN_VIEW, block);
            }
        }
        tookForeign = box.m_end != FALSE;
        SendMessageW(box.m_scrollText, WM_KEYDOWN, VK_ESCAPE, 0);
        if (!box.m_end)
            ClickBoxItem(box, IDC_MSGBOX_CLOSE); // Escape was not taken
    });
    EXPECT_EQ(CCorvaneMsgBox::Show(high.c_str(), L"提示", MB_OKCANCEL), IDCANCEL);
    EXPECT_TRUE(scrolls);
    EXPECT_FALSE(tookForeign);
}
