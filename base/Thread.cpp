#include "base/Thread.h"

#include <process.h>

#include <memory>

namespace {

unsigned __stdcall RunThreadBody(void* param)
{
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(param));
    (*body)();
    return 0;
}

} // namespace

CHandle StartThread(std::function<void()> body)
{
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    const uintptr_t handle = _beginthreadex(nullptr, 0, RunThreadBody, owned.get(), 0, nullptr);
    if (handle == 0)
        return CHandle();
    owned.release();
    return CHandle(reinterpret_cast<HANDLE>(handle));
}

bool StartDetachedThread(std::function<void()> body)
{
    return StartThread(std::move(body)).IsValid();
}
