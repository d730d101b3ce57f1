#include "app/startup/SingleInstance.h"

#include "app/mainwnd/MainDlgMessages.h"
#include "app/startup/CorvaneModule.h"

const wchar_t kInstanceMappingName[] = L"{A891C1201-E189-408a-B647-5D406934E1E0}";

void CInstanceMapping::Close() noexcept
{
    if (view) {
        UnmapViewOfFile(view);
        view = nullptr;
    }
    if (handle) {
        CloseHandle(handle);
        handle = nullptr;
    }
}

HWND CInstanceMapping::ReadWindow() const noexcept
{
    if (!view)
        return nullptr;
    const auto stored = static_cast<DWORD>(*static_cast<volatile LONG*>(view));
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(stored));
}

void CInstanceMapping::WriteWindow(HWND hwnd) noexcept
{
    if (!view)
        return;
    const auto value = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(hwnd));
    InterlockedExchange(static_cast<volatile LONG*>(view), static_cast<LONG>(value));
}

HRESULT OpenInstanceMapping(CInstanceMapping& record, BOOL& existed, const wchar_t* name)
{
    record.size = 4;
    record.handle = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, record.size, name);
    if (!record.handle)
        return HRESULT_FROM_WIN32(GetLastError());
    existed = GetLastError() == ERROR_ALREADY_EXISTS;
    record.offset = 0;
    record.access = FILE_MAP_ALL_ACCESS;
    record.view = MapViewOfFileEx(record.handle, record.access, static_cast<DWORD>(record.offset >> 32),
                                  static_cast<DWORD>(record.offset), record.size, nullptr);
    if (!record.view) {
        const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
        CloseHandle(record.handle);
        record.handle = nullptr;
        return hr;
    }
    return S_OK;
}

HWND WaitForRunningWindow(const CInstanceMapping& record, DWORD timeoutMs)
{
    // The running instance writes its handle once its main window exists,
    // which may be a moment after it made the block.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        HWND hwnd = record.ReadWindow();
        if (hwnd && IsWindow(hwnd))
            return hwnd;
        if (GetTickCount64() >= deadline)
            return nullptr;
        Sleep(50);
    }
}

void ActivateWindow(HWND hwnd, int& itemId, int& itemKind)
{
    if (!IsWindowVisible(hwnd))
        ShowWindow(hwnd, SW_SHOW);
    if (IsIconic(hwnd))
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE | HTCAPTION, 0);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    if (itemId > 0 && itemKind > 0) {
        SendMessageW(hwnd, WM_DOWNLOAD_ITEM, static_cast<WPARAM>(itemId), static_cast<LPARAM>(itemKind));
        itemId = 0;
        itemKind = 0;
    }
}

int ActivateRunningInstance()
{
    BOOL existed = FALSE;
    if (FAILED(OpenInstanceMapping(_Module.m_instanceMapping, existed)))
        return 0;
    if (!existed)
        return 1;
    // A running instance that never shows a live window loses the request.
    HWND hwnd = WaitForRunningWindow(_Module.m_instanceMapping, kRunningWindowWaitMs);
    if (hwnd)
        ActivateWindow(hwnd, _Module.m_nItemId, _Module.m_nItemKind);
    return 0;
}
