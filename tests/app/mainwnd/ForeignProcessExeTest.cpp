// The running Ravonyx.exe against another process that knows its window
// properties: this test process reads every property a sender of ours could
// leave on a window for the length of a send, plants its own with addresses
// that would crash a reader, replays what it read under the other download
// messages, and sends and posts the pointer-carrying messages with any
// number, to every window of the program (message-only windows included),
// while a real download of the demo catalogue's slow theme runs and with the
// question box, the web pop-ups, the finished pop-up and the settings dialog
// open. The program goes on: it does not crash, every window answers, and
// the download ends as it would have.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/app/startup/RavonyxProcess.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr DWORD kStartMs = 30000;
constexpr DWORD kWindowMs = 30000;
// The slow theme is 1.5 MB sent at 60 KB/s per connection: several seconds
// even on a quiet machine.
constexpr DWORD kDownloadMs = 180000;
constexpr DWORD kAnswerMs = 5000;

constexpr UINT kDownloadItem = 0x8109;
constexpr UINT kShowFinishedPopup = 0x810A;
constexpr UINT kTraySettings = 40013;
constexpr UINT_PTR kNewsPopupTimer = 12;
constexpr UINT_PTR kStartPopupTimer = 14;
constexpr int kSlowTheme = 108;
constexpr int kThemes = 1;
const wchar_t kSettingsTitle[] = L"设置面板";
const wchar_t kQuestionTitle[] = L"下载提示";

// The properties senders of ours have ever put on a window for a send: the
// download record, the left menu's link, and the owner of background replies.
const wchar_t* const kMarkNames[] = {L"Dunmere.Record", L"Ravonyx.MenuLink", L"Ravonyx.BackgroundOwner"};
// The download library's three records, which differ in layout.
const UINT kDownloadMessages[] = {0x8105, 0x8107, 0x8108};
// Every message whose wParam is an address of the sender's: the left menu's link, the list navigation, the
// download records, the page call and the background reply.
const UINT kAddressMessages[] = {0x8103, 0x8104, 0x8105, 0x8107, 0x8108, 0x810B, WM_APP + 0x2A0};

// The visible top-level windows of the program.
std::set<HWND> VisibleTopWindows(DWORD pid)
{
    std::set<HWND> windows;
    for (HWND hwnd : ProgramWindows(pid)) {
        if (GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow() && IsWindowVisible(hwnd))
            windows.insert(hwnd);
    }
    return windows;
}

HWND FirstWindowTitled(DWORD pid, const wchar_t* title)
{
    const std::vector<HWND> found = WindowsTitled(pid, title);
    return found.empty() ? nullptr : found.front();
}

// The program's visible top-level windows, for a failure's message.
std::string DescribeTopWindows(DWORD pid)
{
    std::string text;
    for (HWND hwnd : VisibleTopWindows(pid)) {
        wchar_t title[64] = {};
        wchar_t cls[64] = {};
        GetWindowTextW(hwnd, title, 64);
        GetClassNameW(hwnd, cls, 64);
        RECT rect = {};
        GetWindowRect(hwnd, &rect);
        text += " [" + CString(cls).ToUtf8() + " \"" + CString(title).ToUtf8() + "\" " +
                std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top) + "]";
    }
    return text;
}

// What the foreign side did in a round, and what went wrong.
struct Round {
    size_t marksRead = 0;
    // Planted marks that the program took away: it acted on the address.
    size_t marksTaken = 0;
    std::set<std::string> unanswered;
};

std::string ClassOf(HWND hwnd)
{
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return CString(cls).ToUtf8();
}

void SendAndPost(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, Round& round)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &answer) &&
        IsWindow(hwnd))
        round.unanswered.insert(ClassOf(hwnd));
    PostMessageW(hwnd, msg, wParam, lParam);
}

// One pass over every window the program has now: the marks it finds are
// replayed under every download message, then each address is planted
// under every mark name and sent and posted with every message; a planted
// mark gone after a send was taken by the window. (Wine
// carries no WM_NOTIFY from another process; the notification records are
// tested in process.)
Round ForeignRound(DWORD pid, const std::vector<WPARAM>& addresses)
{
    Round round;
    for (HWND hwnd : ProgramWindows(pid)) {
        for (const wchar_t* name : kMarkNames) {
            const WPARAM read = reinterpret_cast<WPARAM>(GetPropW(hwnd, name));
            if (!read)
                continue;
            ++round.marksRead;
            for (UINT msg : kDownloadMessages)
                SendAndPost(hwnd, msg, read, 0, round);
        }
        for (WPARAM address : addresses) {
            const HANDLE planted = reinterpret_cast<HANDLE>(address);
            for (UINT msg : kAddressMessages) {
                for (const wchar_t* name : kMarkNames)
                    SetPropW(hwnd, name, planted);
                SendAndPost(hwnd, msg, address, 0, round);
                for (const wchar_t* name : kMarkNames) {
                    if (IsWindow(hwnd) && GetPropW(hwnd, name) != planted)
                        ++round.marksTaken;
                }
            }
        }
        for (const wchar_t* name : kMarkNames)
            RemovePropW(hwnd, name);
    }
    PumpMessagesFor(10);
    return round;
}

// The themes list of the copy, as the program keeps it on disk.
std::string ThemesList(const CProgramCopy& program)
{
    return ReadFileBytes(program.Dir() + L"Data\\MyThemes.xml");
}

bool DownloadFinished(const CProgramCopy& program)
{
    const std::string list = ThemesList(program);
    return list.find("&quot;status&quot;:2") != std::string::npos &&
           FileExists(program.DownloadRoot() + L"Ravonyx\\download\\108.zip");
}

} // namespace

TEST(ForeignProcess, ReadingPlantingAndReplayingMarksChangesNothing)
{
    CProgramCopy program;
    CRavonyxRun run(program.Exe(), L"");
    HWND main = run.WaitForMainWindow(kStartMs);
    ASSERT_NE(main, nullptr);
    const DWORD pid = run.ProcessId();
    const WPARAM image = static_cast<WPARAM>(GetWindowLongPtrW(main, GWLP_HINSTANCE));
    ASSERT_NE(image, 0u);
    const std::vector<WPARAM> addresses = {0x10, image, image + 0x1000, static_cast<WPARAM>(0xDEADBEEF),
                                           ~static_cast<WPARAM>(0xF)};

    // The slow theme starts downloading, and the program asks whether to
    // show the downloads in a modal box.
    PostMessageW(main, kDownloadItem, kSlowTheme, kThemes);
    HWND box = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (box = FirstWindowTitled(pid, kQuestionTitle)) != nullptr; }, kWindowMs))
        << "the question box after the download starts; the program shows" << DescribeTopWindows(pid);

    // The web pop-ups and the finished pop-up come up beside it.
    PostMessageW(main, WM_TIMER, kStartPopupTimer, 0);
    PostMessageW(main, WM_TIMER, kNewsPopupTimer, 0);
    PostMessageW(main, kShowFinishedPopup, 101, kThemes);
    EXPECT_TRUE(WaitUntil([&] { return VisibleTopWindows(pid).size() >= 4; }, kWindowMs))
        << "pop-ups beside the main window and the question box";

    // While the download runs: rounds with the box and the pop-ups open,
    // then, the box answered, with the settings dialog open.
    size_t marksRead = 0;
    size_t marksTaken = 0;
    const auto foreignRounds = [&](int count) {
        for (int i = 0; i < count && !HasFatalFailure(); ++i) {
            const Round round = ForeignRound(pid, addresses);
            marksRead += round.marksRead;
            marksTaken += round.marksTaken;
            ASSERT_EQ(run.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE)) << "the program still runs";
            EXPECT_EQ(round.unanswered, std::set<std::string>())
                << "the classes of windows that did not answer";
        }
    };
    ASSERT_FALSE(DownloadFinished(program)) << "the rounds begin during the download";
    foreignRounds(3);
    ASSERT_FALSE(HasFatalFailure());
    ClickMessageBoxClose(box);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kWindowMs))
        << "the question box closed";
    PostMessageW(main, WM_COMMAND, kTraySettings, 0);
    HWND settings = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (settings = FirstWindowTitled(pid, kSettingsTitle)) != nullptr; }, kWindowMs))
        << "the settings dialog";
    foreignRounds(2);
    ASSERT_FALSE(HasFatalFailure());
    PostMessageW(settings, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return WindowsTitled(pid, kSettingsTitle).empty(); }, kWindowMs))
        << "the settings dialog closed";

    // The rounds go on until the download has ended, as it would have.
    const ULONGLONG end = GetTickCount64() + kDownloadMs;
    while (!DownloadFinished(program) && GetTickCount64() < end) {
        foreignRounds(1);
        ASSERT_FALSE(HasFatalFailure());
    }
    const std::string list = ThemesList(program);
    EXPECT_TRUE(DownloadFinished(program)) << "the theme's download ended; the list holds " << list;
    size_t items = 0;
    for (size_t at = list.find("<item "); at != std::string::npos; at = list.find("<item ", at + 1))
        ++items;
    EXPECT_EQ(1u, items) << "the list holds the theme and nothing else: " << list;
    EXPECT_EQ(0u, marksRead) << "marks another process can read";
    EXPECT_EQ(0u, marksTaken) << "planted marks the program acted on";

    // The posts are taken in order: once the hot key that follows them has
    // hidden the window, every one of them has been handled.
    PostMessageW(main, WM_HOTKEY, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, kWindowMs))
        << "the hot key hides the window";
    ASSERT_EQ(run.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE)) << "the program still runs";
    for (HWND hwnd : ProgramWindows(pid))
        EXPECT_TRUE(Answers(hwnd) || !IsWindow(hwnd)) << hwnd;
    EXPECT_EQ(run.CloseMainWindow(), 0u);
}
