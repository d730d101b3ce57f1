#include "app/common/BackgroundWork.h"

#include <memory>
#include <unordered_map>
#include <utility>

#include "app/mainwnd/PostedBlocks.h"
#include "base/AppModule.h"
#include "base/CriticalSection.h"
#include "base/Handle.h"
#include "base/Thread.h"

namespace {

constexpr UINT WM_BACKGROUND_REPLY = WM_APP + 0x2A0;
const wchar_t kReceiverClass[] = L"Ravonyx.BackgroundReplies";

struct ReplyBlock {
    BackgroundReply reply;
    HWND owner = nullptr;
    ULONG_PTR ownerLife = 0;
};

// What the workers share with the threads that asked; each worker keeps it
// alive until it has posted (or dropped) its reply.
struct ReplyHub {
    CPostedBlocks<ReplyBlock> blocks;
    CCriticalSection lock;
    int running = 0;
    CHandle idle{CreateEventW(nullptr, TRUE, TRUE, nullptr)};

    void WorkerStarts()
    {
        CCriticalSectionLock hold(lock);
        if (running++ == 0)
            ResetEvent(idle.Get());
    }
    void WorkerEnds()
    {
        CCriticalSectionLock hold(lock);
        if (--running == 0)
            SetEvent(idle.Get());
    }
};

std::shared_ptr<ReplyHub> Hub()
{
    static const std::shared_ptr<ReplyHub> hub = std::make_shared<ReplyHub>();
    return hub;
}

// The owner windows that asked, each with a number for its present life: a
// later window that happens to get the same handle gets another number. A
// hook on the owner's thread sees the window's last message and ends its
// life here. Kept in this process's memory, where no other process can
// reach it.
class COwnerLives {
public:
    static COwnerLives& Instance()
    {
        static COwnerLives* const lives = new COwnerLives; // hooks may still call in at exit
        return *lives;
    }

    // The number of the present life of a window of the calling thread,
    // given at its first request; 0 for a window of another thread, or when
    // its end could not be watched.
    ULONG_PTR LifeOf(HWND owner)
    {
        if (GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId() || !WatchThisThread())
            return 0;
        CCriticalSectionLock hold(m_lock);
        auto found = m_lives.find(owner);
        if (found != m_lives.end())
            return found->second;
        const ULONG_PTR life = ++m_lastLife;
        m_lives.emplace(owner, life);
        return life;
    }

    bool StillLives(HWND owner, ULONG_PTR life)
    {
        CCriticalSectionLock hold(m_lock);
        auto found = m_lives.find(owner);
        return found != m_lives.end() && found->second == life && IsWindow(owner);
    }

private:
    // The hook sees every message sent to a window of this thread, the last
    // one (WM_NCDESTROY) included; it ends with the thread.
    static bool WatchThisThread()
    {
        thread_local bool watched = false;
        if (!watched)
            watched =
                SetWindowsHookExW(WH_CALLWNDPROC, &SeesLastMessage, nullptr, GetCurrentThreadId()) != nullptr;
        return watched;
    }

    static LRESULT CALLBACK SeesLastMessage(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HC_ACTION) {
            const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (call->message == WM_NCDESTROY)
                Instance().Ends(call->hwnd);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    void Ends(HWND hwnd)
    {
        CCriticalSectionLock hold(m_lock);
        m_lives.erase(hwnd);
    }

    CCriticalSection m_lock;
    std::unordered_map<HWND, ULONG_PTR> m_lives;
    ULONG_PTR m_lastLife = 0;
};

bool OwnerStillThere(const ReplyBlock& block)
{
    return !block.owner || COwnerLives::Instance().StillLives(block.owner, block.ownerLife);
}

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_BACKGROUND_REPLY)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    // Only a reply made for this thread's receiver is taken here; one meant
    // for another thread stays recorded for it.
    std::unique_ptr<ReplyBlock> block = Hub()->blocks.Take(hwnd, msg, wParam);
    if (block && block->reply && OwnerStillThere(*block))
        block->reply();
    return 0;
}

// The calling thread's hidden window for replies, made at its first use.
HWND ThreadReceiver()
{
    static const ATOM atom = [] {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = &ReceiverProc;
        cls.hInstance = ThisModuleInstance();
        cls.lpszClassName = kReceiverClass;
        return RegisterClassW(&cls);
    }();
    thread_local HWND receiver = nullptr;
    if (atom && (!receiver || !IsWindow(receiver)))
        receiver = CreateWindowExW(0, MAKEINTATOM(atom), nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   ThisModuleInstance(), nullptr);
    return receiver;
}

} // namespace

bool RunInBackground(HWND owner, std::function<BackgroundReply()> work)
{
    const HWND receiver = ThreadReceiver();
    if (!receiver || (owner && !IsWindow(owner)))
        return false;
    const ULONG_PTR life = owner ? COwnerLives::Instance().LifeOf(owner) : 0;
    if (owner && !life)
        return false;
    std::shared_ptr<ReplyHub> hub = Hub();
    hub->WorkerStarts();
    const bool started = StartDetachedThread([hub, receiver, owner, life, work = std::move(work)] {
        auto block = std::make_unique<ReplyBlock>();
        block->reply = work();
        block->owner = owner;
        block->ownerLife = life;
        if (block->reply)
            hub->blocks.Post(receiver, WM_BACKGROUND_REPLY, std::move(block));
        hub->WorkerEnds();
    });
    if (!started)
        hub->WorkerEnds();
    return started;
}

bool WaitForBackgroundWork(DWORD timeoutMs)
{
    return WaitForSingleObject(Hub()->idle.Get(), timeoutMs) == WAIT_OBJECT_0;
}
