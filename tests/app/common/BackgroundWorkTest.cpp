// Replies of background work come back to the thread and window that asked,
// once, and only while the owner window lives; a reply posted elsewhere, or
// again, runs nowhere.
#include "app/common/BackgroundWork.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr UINT WM_BACKGROUND_REPLY = WM_APP + 0x2A0; // the replies' message (BackgroundWork.cpp)

// The reply waiting in this thread's queue, left there; null when none.
bool PeekReply(MSG& reply)
{
    return PeekMessageW(&reply, nullptr, WM_BACKGROUND_REPLY, WM_BACKGROUND_REPLY, PM_NOREMOVE) != FALSE;
}

void DispatchAll()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

// A thread with a receiver of its own, running its messages until told.
class CAnotherThread {
public:
    CAnotherThread()
    {
        m_thread = std::thread([this] {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
            // The first request makes the thread's receiver.
            RunInBackground(nullptr, [] { return BackgroundReply(); });
            m_id = GetCurrentThreadId();
            SetEvent(m_ready);
            while (GetMessageW(&msg, nullptr, 0, 0) > 0)
                DispatchMessageW(&msg);
        });
        WaitForSingleObject(m_ready, 10000);
    }
    ~CAnotherThread()
    {
        PostThreadMessageW(m_id, WM_QUIT, 0, 0);
        m_thread.join();
        CloseHandle(m_ready);
    }
    DWORD Id() const { return m_id; }

private:
    HANDLE m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> m_id{0};
    std::thread m_thread;
};

// The hidden reply windows of a thread.
std::vector<HWND> ReceiversOf(DWORD thread)
{
    std::vector<HWND> found;
    for (HWND h = FindWindowExW(HWND_MESSAGE, nullptr, L"Ravonyx.BackgroundReplies", nullptr); h;
         h = FindWindowExW(HWND_MESSAGE, h, L"Ravonyx.BackgroundReplies", nullptr)) {
        if (GetWindowThreadProcessId(h, nullptr) == thread)
            found.push_back(h);
    }
    return found;
}

} // namespace

TEST(BackgroundWork, AReplyRunsOnlyOnTheThreadAndWindowItWasMadeFor)
{
    CAnotherThread other;
    const std::vector<HWND> otherReceivers = ReceiversOf(other.Id());
    ASSERT_EQ(otherReceivers.size(), 1u);

    std::vector<DWORD> ranOn;
    ASSERT_TRUE(
        RunInBackground(nullptr, [&ranOn] { return [&ranOn] { ranOn.push_back(GetCurrentThreadId()); }; }));
    ASSERT_TRUE(WaitForBackgroundWork(20000));
    MSG reply;
    ASSERT_TRUE(PeekReply(reply)) << "the reply waits in this thread's queue";

    // Its address handed to the other thread's receiver, and to this
    // thread's receiver with another message: neither runs it.
    SendMessageW(otherReceivers[0], WM_BACKGROUND_REPLY, reply.wParam, 0);
    PostMessageW(otherReceivers[0], WM_BACKGROUND_REPLY, reply.wParam, 0);
    SendMessageW(otherReceivers[0], WM_NULL, 0, 0); // the other thread has taken its post
    EXPECT_TRUE(ranOn.empty()) << "the reply ran on another thread";

    DispatchAll();
    EXPECT_EQ(ranOn, std::vector<DWORD>{GetCurrentThreadId()});

    // Handed to this receiver again, it runs no more.
    SendMessageW(reply.hwnd, WM_BACKGROUND_REPLY, reply.wParam, 0);
    PostMessageW(reply.hwnd, WM_BACKGROUND_REPLY, reply.wParam, 0);
    DispatchAll();
    EXPECT_EQ(ranOn.size(), 1u) << "taken once";
}

TEST(BackgroundWork, AReplyForAWindowThatWentIsDropped)
{
    const auto makeOwner = [] {
        return CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
    };
    HWND owner = makeOwner();
    ASSERT_TRUE(owner);
    int ran = 0;
    ASSERT_TRUE(RunInBackground(owner, [&ran] { return [&ran] { ++ran; }; }));
    // Nothing is put on the owner window for it.
    EXPECT_EQ(GetPropW(owner, L"Ravonyx.BackgroundOwner"), nullptr);
    ASSERT_TRUE(WaitForBackgroundWork(20000));
    DestroyWindow(owner);
    DispatchAll();
    EXPECT_EQ(ran, 0) << "the owner went before the reply came";

    // A living owner gets its reply, also after a stranger's properties.
    owner = makeOwner();
    ASSERT_TRUE(RunInBackground(owner, [&ran] { return [&ran] { ++ran; }; }));
    SetPropW(owner, L"Ravonyx.BackgroundOwner", reinterpret_cast<HANDLE>(0x10));
    ASSERT_TRUE(WaitForBackgroundWork(20000));
    DispatchAll();
    EXPECT_EQ(ran, 1);
    RemovePropW(owner, L"Ravonyx.BackgroundOwner");
    DestroyWindow(owner);

    // A window of another thread is no owner for this one's replies.
    CAnotherThread other;
    EXPECT_FALSE(RunInBackground(ReceiversOf(other.Id()).at(0), [] { return BackgroundReply(); }));
}
