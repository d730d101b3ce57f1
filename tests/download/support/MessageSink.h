// A real window that the download library sends its messages to; it keeps a
// copy of every record the library confirms it is sending to it, and counts
// the others. Waiting pumps messages, so the library's senders get their
// answers.
#pragma once

#include "base/RefString.h"

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

struct SinkMessage {
    UINT message = 0;
    int percent = 0;
    float speedKBps = 0;
    CString text; // file title, or the URL of a finished message
    int param = 0;
    DWORD tick = 0;
};

class CMessageSink {
public:
    CMessageSink();
    CMessageSink(const CMessageSink&) = delete;
    CMessageSink& operator=(const CMessageSink&) = delete;
    ~CMessageSink();

    HWND Hwnd() const { return m_hwnd; }
    // Runs after each message has been recorded, while its sender still waits.
    void OnMessage(std::function<void(const SinkMessage&)> handler) { m_onMessage = std::move(handler); }
    const std::vector<SinkMessage>& Messages() const { return m_messages; }
    // Messages of the library's numbers whose record the library did not confirm.
    int Unmarked() const { return m_unmarked; }

    // Pumps messages until done() holds or timeoutMs pass; done()'s last answer.
    bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
    // Pumps messages until the handle is signalled; false on time-out.
    bool WaitForHandle(HANDLE handle, DWORD timeoutMs);
    // Waits for a message of this kind about this text (title or URL).
    bool WaitFor(UINT message, const CString& text, DWORD timeoutMs);
    int Count(UINT message, const CString& text) const;
    std::vector<SinkMessage> About(const CString& text) const;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Record(UINT message, WPARAM wParam);

    HWND m_hwnd = nullptr;
    std::vector<SinkMessage> m_messages;
    std::function<void(const SinkMessage&)> m_onMessage;
    int m_unmarked = 0;
};
