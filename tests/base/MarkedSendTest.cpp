// Blocks handed over by address (base/MarkedSend.h) and WM_NOTIFY records
// (base/NotifyRecord.h): a receiver reads only what this module is sending
// to it now, whatever numbers and window properties anybody else supplies.
#include "base/MarkedSend.h"
#include "base/NotifyRecord.h"

#include "TestWindows.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT kFirstMessage = WM_APP + 1;
constexpr UINT kSecondMessage = WM_APP + 2;
constexpr UINT kTextKind = 1;
constexpr UINT kNumberKind = 2;

// Every property the window has, by name (atoms as numbers).
std::vector<std::wstring> PropertyNames(HWND hwnd)
{
    std::vector<std::wstring> names;
    EnumPropsExW(
        hwnd,
        [](HWND, LPWSTR name, HANDLE, ULONG_PTR param) -> BOOL {
            auto& list = *reinterpret_cast<std::vector<std::wstring>*>(param);
            list.push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name))
                                                : std::wstring(name));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&names));
    return names;
}

// A receiver that takes text blocks of kind kTextKind on kFirstMessage, and
// asks the other questions a replaying sender would make it answer.
class CBlockReceiver : public CRecordingWindow {
public:
    std::vector<std::wstring> taken;
    int refused = 0;
    HWND otherWindow = nullptr; // a window of this thread the block was not sent to
    struct Answers {
        bool otherMessage = true, otherKind = true, otherWindow = true, otherThread = true, second = true;
    } answers;

    CBlockReceiver()
    {
        handler = [this](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) -> BOOL {
            if (msg != kFirstMessage && msg != kSecondMessage)
                return FALSE;
            result = 0;
            if (msg == kSecondMessage) {
                // A block of the first message replayed on the second.
                if (TakeMarkedBlock<wchar_t>(m_hWnd, msg, kTextKind, wParam))
                    taken.push_back(L"second");
                else
                    ++refused;
                return TRUE;
            }
            if (!asking) {
                const wchar_t* text = TakeMarkedBlock<wchar_t>(m_hWnd, msg, kTextKind, wParam);
                if (text)
                    taken.push_back(text);
                else
                    ++refused;
                return TRUE;
            }
            answers.otherMessage = TakeMark(m_hWnd, kSecondMessage, kTextKind, wParam);
            answers.otherKind = TakeMark(m_hWnd, msg, kNumberKind, wParam);
            answers.otherWindow = TakeMark(otherWindow, msg, kTextKind, wParam);
            std::thread([&, wParam] {
                answers.otherThread = TakeMark(m_hWnd, kFirstMessage, kTextKind, wParam);
            }).join();
            // The same address sent again while the block is in flight: it
            // is read by whichever message comes first, once.
            asking = false;
            SendMessageW(m_hWnd, kSecondMessage, wParam, 0);
            const wchar_t* text = TakeMarkedBlock<wchar_t>(m_hWnd, msg, kTextKind, wParam);
            if (text)
                taken.push_back(text);
            answers.second = TakeMark(m_hWnd, msg, kTextKind, wParam);
            SendMessageW(m_hWnd, kFirstMessage, wParam, 0);
            asking = true;
            return TRUE;
        };
    }

    bool asking = false;
};

} // namespace

TEST(MarkedSend, ABlockIsTakenOnceByItsWindowForItsMessageAndKindOnly)
{
    CBlockReceiver receiver;
    CRecordingWindow other;
    ASSERT_TRUE(receiver.CreatePopup());
    ASSERT_TRUE(other.CreatePopup());
    receiver.otherWindow = other.m_hWnd;
    receiver.asking = true;

    const std::wstring text = L"http://127.0.0.1/?item=5";
    SendMarked(receiver.m_hWnd, kFirstMessage, kTextKind, text.c_str());
    EXPECT_EQ(receiver.taken, std::vector<std::wstring>{text});
    EXPECT_FALSE(receiver.answers.otherMessage) << "replayed on another message";
    EXPECT_FALSE(receiver.answers.otherKind) << "read as another kind of record";
    EXPECT_FALSE(receiver.answers.otherWindow) << "taken for another window";
    EXPECT_FALSE(receiver.answers.otherThread) << "taken on another thread";
    EXPECT_FALSE(receiver.answers.second) << "taken twice";
    EXPECT_EQ(receiver.refused, 2) << "the replays on the second and the first message";

    // After the send the address is nobody's block.
    receiver.asking = false;
    receiver.taken.clear();
    receiver.refused = 0;
    SendMessageW(receiver.m_hWnd, kFirstMessage, reinterpret_cast<WPARAM>(text.c_str()), 0);
    EXPECT_TRUE(receiver.taken.empty());
    EXPECT_EQ(receiver.refused, 1);
    receiver.DestroyWindow();
    other.DestroyWindow();
}

TEST(MarkedSend, PropertiesPlantedOnTheWindowNameNoBlock)
{
    CBlockReceiver receiver;
    ASSERT_TRUE(receiver.CreatePopup());
    const std::wstring text = L"planted";
    // What a stranger may set on the window: the address under any name,
    // including every name a send leaves or ever left there.
    std::vector<std::wstring> names = {L"Dunmere.Record", L"Ravonyx.MenuLink"};
    std::vector<std::wstring> seenDuringSend;
    receiver.handler = [&, inner = receiver.handler](UINT msg, WPARAM wParam, LPARAM lParam,
                                                     LRESULT& result) {
        if (msg == kFirstMessage)
            seenDuringSend = PropertyNames(receiver.m_hWnd);
        return inner(msg, wParam, lParam, result);
    };
    const std::vector<std::wstring> before = PropertyNames(receiver.m_hWnd); // the system's own
    SendMarked(receiver.m_hWnd, kFirstMessage, kTextKind, text.c_str());
    ASSERT_EQ(receiver.taken.size(), 1u);
    EXPECT_EQ(seenDuringSend, before) << "a send puts nothing on the window";
    for (const std::wstring& name : names)
        ASSERT_TRUE(SetPropW(receiver.m_hWnd, name.c_str(), const_cast<wchar_t*>(text.c_str())));
    ASSERT_TRUE(SetPropW(receiver.m_hWnd, L"Dunmere.Record", reinterpret_cast<HANDLE>(0x10)));

    receiver.taken.clear();
    SendMessageW(receiver.m_hWnd, kFirstMessage, reinterpret_cast<WPARAM>(text.c_str()), 0);
    SendMessageW(receiver.m_hWnd, kFirstMessage, 0x10, 0);
    PostMessageW(receiver.m_hWnd, kFirstMessage, reinterpret_cast<WPARAM>(text.c_str()), 0);
    MSG msg;
    while (PeekMessageW(&msg, receiver.m_hWnd, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_TRUE(receiver.taken.empty());
    EXPECT_EQ(receiver.refused, 3);
    for (const std::wstring& name : names)
        RemovePropW(receiver.m_hWnd, name.c_str());
    receiver.DestroyWindow();
}

TEST(MarkedSend, ABlockSentFromAnotherThreadIsTakenByTheWindowsOwnThreadOnly)
{
    CBlockReceiver receiver;
    ASSERT_TRUE(receiver.CreatePopup());
    HWND hwnd = receiver.m_hWnd;
    const std::wstring text = L"from a worker";
    bool workerTook = true;
    std::thread sender([&] {
        // The library's threads send this way; a worker asking for its own
        // block on the window's behalf is not the window.
        SendMarked(hwnd, kFirstMessage, kTextKind, text.c_str());
        workerTook = TakeMark(hwnd, kFirstMessage, kTextKind, reinterpret_cast<WPARAM>(text.c_str()));
    });
    const ULONGLONG end = GetTickCount64() + 10000;
    while (receiver.taken.empty() && GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    sender.join();
    EXPECT_EQ(receiver.taken, std::vector<std::wstring>{text}) << "the worker's send was taken";
    EXPECT_FALSE(workerTook);
    receiver.DestroyWindow();
}

// A system control's WM_NOTIFY is read only from a control of the receiver,
// with a code it handles; one of ours only by the window it went to (or a
// parent it is passed on to).
TEST(NotifyRecord, ARecordNamesItsSenderAndItsReceiver)
{
    CRecordingWindow parent, child, stranger;
    ASSERT_TRUE(parent.CreatePopup());
    ASSERT_TRUE(child.CreateChild(parent.m_hWnd, 7));
    ASSERT_TRUE(stranger.CreatePopup());
    struct Seen {
        bool fromChild, fromStranger, fromNothing, otherCode, bigger, ours, oursForStranger;
    } seen{};
    const NMHDR* header = nullptr;
    parent.handler = [&](UINT msg, WPARAM, LPARAM lParam, LRESULT&) -> BOOL {
        if (msg != WM_NOTIFY)
            return FALSE;
        header = ControlNotifyHeader(parent.m_hWnd, lParam);
        return TRUE;
    };
    // A control's record lies on this thread's stack, in use.
    NMHDR record = {child.m_hWnd, 7, static_cast<UINT>(NM_CLICK)};
    SendMessageW(parent.m_hWnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&record));
    seen.fromChild = header == &record;
    seen.otherCode = IsControlNotifyRecord(parent.m_hWnd, reinterpret_cast<LPARAM>(&record), sizeof(NMHDR),
                                           static_cast<UINT>(NM_RCLICK));
    record.hwndFrom = stranger.m_hWnd;
    SendMessageW(parent.m_hWnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&record));
    seen.fromStranger = header != nullptr;
    record.hwndFrom = nullptr;
    SendMessageW(parent.m_hWnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&record));
    seen.fromNothing = header != nullptr;
    EXPECT_TRUE(seen.fromChild);
    EXPECT_FALSE(seen.fromStranger) << "a sender that is no control of the receiver";
    EXPECT_FALSE(seen.fromNothing);
    EXPECT_FALSE(seen.otherCode) << "a code the receiver does not handle";

    // One of ours is read by the window it is sent to and its parent, not by
    // another window of the thread it is replayed to meanwhile.
    parent.handler = nullptr;
    child.handler = [&](UINT msg, WPARAM, LPARAM lParam, LRESULT&) -> BOOL {
        if (msg != WM_NOTIFY)
            return FALSE;
        seen.ours =
            OurNotifyRecord<NMHDR>(child.m_hWnd, lParam) && OurNotifyRecord<NMHDR>(parent.m_hWnd, lParam);
        seen.oursForStranger = OurNotifyRecord<NMHDR>(stranger.m_hWnd, lParam) != nullptr;
        seen.bigger = IsNotifyRecordInFlight(child.m_hWnd, lParam, sizeof(NMHDR) + 1);
        return TRUE;
    };
    NMHDR ours = {child.m_hWnd, 7, 1};
    SendNotifyRecord(child.m_hWnd, 7, ours);
    EXPECT_TRUE(seen.ours);
    EXPECT_FALSE(seen.oursForStranger);
    EXPECT_FALSE(seen.bigger);
    stranger.DestroyWindow();
    parent.DestroyWindow();
}
