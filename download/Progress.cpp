#include "download/Progress.h"

#include "download/Notify.h"
#include "download/UrlParts.h"

int ComputePercent(uint32_t bytes, uint32_t total) noexcept
{
    return static_cast<int>(static_cast<uint64_t>(bytes) * 100 / (static_cast<uint64_t>(total) + 1));
}

float ComputeSpeedKBps(uint32_t bytes, uint32_t previousBytes) noexcept
{
    const uint32_t kilobytes = (bytes - previousBytes) >> 10;
    return static_cast<float>(kilobytes * 10.0);
}

bool WaitForStop(HANDLE stopEvent, DWORD ms) noexcept
{
    if (!stopEvent) {
        Sleep(ms);
        return false;
    }
    return WaitForSingleObject(stopEvent, ms) == WAIT_OBJECT_0;
}

void ProgressThreadProc(const ProgressRecord& record, HANDLE stopEvent)
{
    const CString title = FileTitleOf(record.url);
    uint32_t previous = 0;
    if (!*record.active)
        return;
    for (;;) {
        const uint32_t bytes = record.counter;
        const uint32_t total = record.total;
        const int percent = ComputePercent(bytes, total);
        if (percent > 0)
            SendProgress(percent, ComputeSpeedKBps(bytes, previous), title, record.param);
        previous = bytes;
        if (bytes >= total - 1)
            return;
        if (WaitForStop(stopEvent, kProgressTickMs) || !*record.active)
            return;
    }
}
