#include "tests/download/support/MessageSink.h"

#include "download/Dunmere.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kClassName[] = L"DunmereTestSink";

} // namespace

CMessageSink::CMessageSink()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &CMessageSink::WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
    m_hwnd = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
    EXPECT_NE(m_hwnd, nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CMessageSink::~CMessageSink()
{
    DestroyWindow(m_hwnd);
}

LRESULT CALLBACK CMessageSink::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* sink = reinterpret_cast<CMessageSink*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (sink && (message == WM_DOWNLOAD_PROGRESS || message == WM_DOWNLOAD_FINISHED ||
                 message == WM_DOWNLOAD_STOPPED)) {
        // The program's own window reads only records the library confirms;
        // so does this one.
        const UINT kind = message == WM_DOWNLOAD_PROGRESS   ? kDownloadRecordKind<DownloadProgressInfo>
                          : message == WM_DOWNLOAD_FINISHED ? kDownloadRecordKind<DownloadFinishedInfo>
                                                            : kDownloadRecordKind<DownloadStoppedInfo>;
        if (!TakeDownloadRecord(hwnd, message, kind, wParam)) {
            ++sink->m_unmarked;
            return 0;
        }
        sink->Record(message, wParam);
        return message == WM_DOWNLOAD_FINISHED ? 0 : 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CMessageSink::Record(UINT message, WPARAM wParam)
{
    SinkMessage m;
    m.message = message;
    m.tick = GetTickCount();
    if (message == WM_DOWNLOAD_PROGRESS) {
        const auto* info = reinterpret_cast<const DownloadProgressInfo*>(wParam);
        m.percent = info->percent;
        m.speedKBps = info->speedKBps;
        m.text = info->fileTitle;
        m.param = info->param;
    } else if (message == WM_DOWNLOAD_FINISHED) {
        const auto* info = reinterpret_cast<const DownloadFinishedInfo*>(wParam);
        m.text = info->url;
        m.param = info->param;
    } else {
        const auto* info = reinterpret_cast<const DownloadStoppedInfo*>(wParam);
        m.text = info->fileTitle;
        m.param = info->param;
    }
    m_messages.push_back(m);
    if (m_onMessage)
        m_onMessage(m);
}

bool CMessageSink::WaitUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

bool CMessageSink::WaitForHandle(HANDLE handle, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
        const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            return true;
        if (woke != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

bool CMessageSink::WaitFor(UINT message, const CString& text, DWORD timeoutMs)
{
    return WaitUntil([&] { return Count(message, text) > 0; }, timeoutMs);
}

int CMessageSink::Count(UINT message, const CString& text) const
{
    int n = 0;
    for (const SinkMessage& m : m_messages)
        n += m.message == message && m.text == text;
    return n;
}

std::vector<SinkMessage> CMessageSink::About(const CString& text) const
{
    std::vector<SinkMessage> found;
    for (const SinkMessage& m : m_messages) {
        if (m.text == text)
            found.push_back(m);
    }
    return found;
}
