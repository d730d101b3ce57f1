// Progress of a running queued task: what its worker counts, and the thread
// that reports it every 100 ms.
#pragma once

#include "base/RefString.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

constexpr uint32_t kUnknownLength = 1024; // the length assumed until a probe tells it
constexpr DWORD kProgressTickMs = 100;

struct ProgressRecord {
    std::atomic<uint32_t> counter{0};            // bytes present, added to by the part threads
    std::atomic<uint32_t> total{kUnknownLength}; // the file length
    CString url;
    const std::atomic<bool>* active = nullptr; // the task's flag
    int param = 0;
};

// bytes * 100 / (total + 1), in 64 bits so that it holds up to 2 GiB.
int ComputePercent(uint32_t bytes, uint32_t total) noexcept;

// Whole kilobytes that came since the previous tick, times the ticks per second.
float ComputeSpeedKBps(uint32_t bytes, uint32_t previousBytes) noexcept;

// Waits ms milliseconds or until stopEvent is set (true then). Without an
// event it simply sleeps.
bool WaitForStop(HANDLE stopEvent, DWORD ms) noexcept;

// Sends WM_DOWNLOAD_PROGRESS every tick while the task is active and the file
// is not yet all there; returns early when stopEvent is set.
void ProgressThreadProc(const ProgressRecord& record, HANDLE stopEvent);
