#include "app/common/BackgroundWork.h"

#include <memory>
#include <utility>

#include "app/mainwnd/PostedBlocks.h"
#include "base/AppModule.h"
#include "base/CriticalSection.h"
#include "base/Handle.h"
#include "base/Thread.h"

namespace {

constexpr UINT WM_BACKGROUND_REPLY = WM_APP + 0x2A0;
const wchar_t kReceiverClass[] = L"Ravonyx.BackgroundReplies";
// The window property that tells one owner window from a later one that
// happens to get the same handle.
const wchar_t kOwnerProperty[] = L"Ravonyx.BackgroundOwner";

struct ReplyBlock {
    BackgroundReply reply;
    HWND owner = nullptr;
    HANDLE ownerMark = nullptr;
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

bool OwnerStillThere(const ReplyBlock& block)
{
    return !block.owner ||
           (IsWindow(block.owner) && GetPropW(block.owner, kOwnerProperty) == block.ownerMark);
}

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_BACKGROUND_REPLY)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    std::unique_ptr<ReplyBlock> block = Hub()->blocks.Take(wParam);
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

// The mark of the owner window, given at its first request.
HANDLE OwnerMark(HWND owner)
{
    static LONG lastMark = 0;
    if (!owner)
        return nullptr;
    HANDLE mark = GetPropW(owner, kOwnerProperty);
    if (!mark) {
        mark = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(InterlockedIncrement(&lastMark)));
        if (!SetPropW(owner, kOwnerProperty, mark))
            return nullptr;
    }
    return mark;
}

} // namespace

bool RunInBackground(HWND owner, std::function<BackgroundReply()> work)
{
    const HWND receiver = ThreadReceiver();
    if (!receiver || (owner && !IsWindow(owner)))
        return false;
    const HANDLE mark = OwnerMark(owner);
    if (owner && !mark)
        return false;
    std::shared_ptr<ReplyHub> hub = Hub();
    hub->WorkerStarts();
    const bool started = StartDetachedThread([hub, receiver, owner, mark, work = std::move(work)] {
        auto block = std::make_unique<ReplyBlock>();
        block->reply = work();
        block->owner = owner;
        block->ownerMark = mark;
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
