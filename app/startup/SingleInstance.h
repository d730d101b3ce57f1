// The single-instance rule: a named, pagefile-backed block of 4 bytes that
// holds the running instance's main window handle. The handle is stored as
// 32 bits (window handles are 32-bit values in 64-bit Windows as well), so
// the 32-bit and the 64-bit program read each other's block.
#pragma once

#include <windows.h>

// The name of the block: nine hex digits in its first group.
extern const wchar_t kInstanceMappingName[];

// The mapped block and its handle; unmapped and closed when it goes.
struct CInstanceMapping {
    void* view = nullptr;
    DWORD size = 4;
    HANDLE handle = nullptr;
    ULONGLONG offset = 0;
    DWORD access = FILE_MAP_ALL_ACCESS;

    CInstanceMapping() = default;
    CInstanceMapping(const CInstanceMapping&) = delete;
    CInstanceMapping& operator=(const CInstanceMapping&) = delete;
    ~CInstanceMapping() { Close(); }

    void Close() noexcept;
    // The window handle in the block (null when not mapped or none written).
    HWND ReadWindow() const noexcept;
    // Stores the handle; nothing when not mapped.
    void WriteWindow(HWND hwnd) noexcept;
};

// Creates or opens the block and maps it; existed tells whether another
// process had made it. S_OK, or the HRESULT of the last error.
HRESULT OpenInstanceMapping(CInstanceMapping& record, BOOL& existed,
                            const wchar_t* name = kInstanceMappingName);

// 1 when this process is to go on as the running instance, 0 when it must
// end: the block could not be made, or another instance runs, which is then
// brought to the front and sent the command line's request.
int ActivateRunningInstance();

// How long a later instance waits for the running instance to write a live
// window handle into the block before it gives up.
constexpr DWORD kRunningWindowWaitMs = 5000;

// Waits up to timeoutMs for the block to hold the handle of a live window;
// null when none came.
HWND WaitForRunningWindow(const CInstanceMapping& record, DWORD timeoutMs);

// Brings the running instance's window up and forwards the request (id and
// kind both above 0) as WM_DOWNLOAD_ITEM; the request is then zeroed.
void ActivateWindow(HWND hwnd, int& itemId, int& itemKind);
